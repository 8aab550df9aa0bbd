#pragma once

#include <map>
#include <string>

#include <nlohmann/json.hpp>

using Json = nlohmann::ordered_json;

// A parsed JSON document that remembers the line on which each value starts, so errors can
// name both the key and the line. Paths look like "pages[2].pageObjects[0].rect".
struct JsonDocument {
    Json root;
    std::map<std::string, int> lines;

    int LineOf(const std::string& path) const;
};

// Parses text; on a syntax error returns false and sets *error to "line N: ...".
bool ParseJsonWithLines(const std::string& text, JsonDocument& document, std::string* error);

std::string JsonChildPath(const std::string& parent, const std::string& key);
std::string JsonElementPath(const std::string& parent, std::size_t index);

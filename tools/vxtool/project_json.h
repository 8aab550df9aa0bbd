#pragma once

#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>

#include "json_with_lines.h"
#include "project/serializable.h"

class CodePage;
class CVantorixProject;

// A description that does not fit the records; the message names the line and the key.
class ProjectJsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The project as JSON text, written as it goes: {"header", "project", "pages", "doFlashCheck"},
// and "fonts" (the embedded font records, their data given by its size) when fonts are given.
// Text is UTF-8, converted from the project's code page. Every field of every record is written.
void WriteProjectJson(std::ostream& out, CVantorixProject& project, const CodePage& codePage, const ObjectList* fonts);
// The same as a JSON value.
Json ProjectToJson(CVantorixProject& project, const CodePage& codePage);

// Builds a project from its JSON description. Missing keys keep the record's defaults; unknown
// keys, values of the wrong type and text the code page cannot hold raise ProjectJsonError.
std::unique_ptr<CVantorixProject> ProjectFromJson(const JsonDocument& document, const CodePage& codePage);

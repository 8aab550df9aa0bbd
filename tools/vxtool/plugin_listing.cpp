#include "plugin_listing.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <vector>

#include "plugins/transition_dll_manager.h"

int ListTransitionPlugins(const std::string& folder, std::ostream& out) {
    CKXTransitionDLLManager manager;
    manager.Scan(folder);
    std::vector<nlohmann::ordered_json> lines;
    for (const CKXTransitionDLLInfo& plugin : manager.Plugins()) {
        lines.push_back({{"file", plugin.path}, {"name", plugin.name}});
    }
    for (const CKXTransitionDLLManager::Skipped& skipped : manager.SkippedFiles()) {
        lines.push_back({{"file", skipped.path}, {"skipped", skipped.reason}});
    }
    std::sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a["file"] < b["file"]; });
    // Names are the plugins' own bytes: what is not UTF-8 is written as the replacement character.
    for (const auto& line : lines) out << line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    return static_cast<int>(manager.Plugins().size());
}

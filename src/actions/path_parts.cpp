#include "actions/path_parts.h"

namespace {

constexpr std::size_t kMaxPath = 260;

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

PathParts SplitPath(std::string_view path) {
    PathParts parts;
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive = path.substr(0, 2);
        path.remove_prefix(2);
    }
    std::size_t separator = path.find_last_of("\\/");
    if (separator != std::string_view::npos) {
        parts.folder = path.substr(0, separator + 1);
        path.remove_prefix(separator + 1);
    }
    std::size_t dot = path.rfind('.');
    parts.filename = path.substr(0, dot);
    if (dot != std::string_view::npos) parts.extension = path.substr(dot);
    return parts;
}

bool MakePath(const PathParts& parts, std::string& out) {
    out.clear();
    if (parts.drive.size() + parts.folder.size() + parts.filename.size() + parts.extension.size() > kMaxPath) {
        return false;
    }
    if (!parts.drive.empty()) {
        out += parts.drive[0];
        out += ':';
    }
    if (!parts.folder.empty()) {
        out += parts.folder;
        if (!IsSeparator(parts.folder.back())) out += '\\';
    }
    out += parts.filename;
    if (!parts.extension.empty()) {
        if (parts.extension[0] != '.') out += '.';
        out += parts.extension;
    }
    return true;
}

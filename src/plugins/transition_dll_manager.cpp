#include "plugins/transition_dll_manager.h"

#include <vantorix/transition_plugin.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/ascii_case.h"
#include "platform/shared_library.h"

namespace {

using GetPluginName = decltype(&kxPlg_GetPluginName);

// The first buffer the name is read into, and the largest a plugin may ask for.
constexpr int firstNameBuffer = 10000;
constexpr int largestNameBuffer = 1 << 20;

// The name up to its first zero byte; a second "too small" leaves it empty.
std::string ReadName(GetPluginName getName) {
    std::vector<char> buffer(firstNameBuffer + 1, '\0');
    int size = firstNameBuffer;
    if (getName(buffer.data(), &size) == -1) {
        if (size < 0 || size >= largestNameBuffer) return {};
        size += 1;
        buffer.assign(static_cast<std::size_t>(size) + 1, '\0');
        if (getName(buffer.data(), &size) == -1) return {};
    }
    // A name without its zero byte ends at the buffer's end.
    buffer.back() = '\0';
    return buffer.data();
}

}  // namespace

std::vector<std::string> TransitionFilesIn(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    std::filesystem::recursive_directory_iterator it(folder, std::filesystem::directory_options::skip_permission_denied,
                                                     error);
    for (std::filesystem::recursive_directory_iterator end; !error && it != end; it.increment(error)) {
        std::string extension = it->path().extension().string();
        if (EqualsIgnoringAsciiCase(extension, ".tns")) files.push_back(it->path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

void CKXTransitionDLLManager::Scan(const std::string& folder) {
    plugins.clear();
    skipped.clear();
    ScanAlso(folder);
}

void CKXTransitionDLLManager::ScanAlso(const std::string& folder) {
    for (const std::string& path : TransitionFilesIn(folder)) {
        CKXSharedLibrary library;
        std::string error;
        if (!library.Open(path, error)) {
            skipped.push_back({path, error});
            continue;
        }
        auto getName = reinterpret_cast<GetPluginName>(library.Symbol(nameExport));
        if (!getName || !library.Symbol(settingsExport) || !library.Symbol(transitionExport)) {
            skipped.push_back({path, "not a transition plugin: it lacks an export"});
            continue;
        }
        plugins.push_back({path, ReadName(getName)});
    }
}

const CKXTransitionDLLInfo* CKXTransitionDLLManager::FindByName(const std::string& name) const {
    auto found = std::find_if(plugins.begin(), plugins.end(),
                              [&name](const CKXTransitionDLLInfo& plugin) { return plugin.name == name; });
    return found == plugins.end() ? nullptr : &*found;
}

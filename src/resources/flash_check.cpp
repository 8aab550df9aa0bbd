#include "resources/flash_check.h"

#include <cstdio>

#include "platform/dialogs.h"
#include "platform/host_path.h"
#include "platform/kx_registry.h"
#include "platform/windows_paths.h"
#include "resources/version_compare.h"

namespace {

constexpr const char* defaultMinVersion = "6.0.0.0";

// The host path of the control's registered file, or nothing when the key is missing; "" when the
// key has no usable file name.
std::optional<std::string> ControlFile(const CKXRegistry& registry) {
    if (!registry.KeyExists(CKXRegistry::HKEY_CLASSES_ROOT, flashControlServerKey)) return std::nullopt;
    std::string file;
    if (!registry.GetValue(CKXRegistry::HKEY_CLASSES_ROOT, flashControlServerKey, "", "", true, file) || file.empty()) {
        return std::string();
    }
    std::string host = WindowsPathLayer::Instance().ToHostPath(file);
    if (host.empty() || !IsRegularFile(host)) return std::string();
    return host;
}

}  // namespace

std::optional<FileVersion> GetFlashControlVersion(const CKXRegistry& registry) {
    std::optional<std::string> file = ControlFile(registry);
    if (!file || file->empty()) return std::nullopt;
    return ReadFileVersion(*file).value_or(FileVersion{});
}

int GetFlashControlMajor(const CKXRegistry& registry) {
    std::optional<std::string> file = ControlFile(registry);
    if (!file) return -1;
    if (file->empty()) return 0;
    return ReadFileVersion(*file).value_or(FileVersion{}).major;
}

std::string FlashCheckMessage(const std::string& format, const std::string& minVersion, const std::string& webSite) {
    std::string text;
    int filled = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            char next = format[i + 1];
            if (next == 's' && filled < 2) {
                text += filled++ == 0 ? minVersion : webSite;
                ++i;
                continue;
            }
            if (next == '%') {
                text += '%';
                ++i;
                continue;
            }
        }
        text += format[i];
    }
    return text;
}

bool RunFlashCheck(const CKXRegistry& registry, CKXDialogs& dialogs, const FlashCheckTexts& texts,
                   const std::function<void(const std::string& address)>& openAddress) {
    std::string minimum = texts.minVersion.empty() ? defaultMinVersion : texts.minVersion;
    if (std::optional<FileVersion> installed = GetFlashControlVersion(registry)) {
        char formatted[64];
        std::snprintf(formatted, sizeof formatted, "%d.%d.%d.%d", installed->major, installed->minor, installed->build,
                      installed->revision);
        if (CompareVersions(formatted, minimum) >= 0) return false;
    }
    std::string text = FlashCheckMessage(texts.message, minimum, texts.webSite);
    if (dialogs.MessageBox(text, texts.title, MB_YESNO | MB_ICONQUESTION) == IDYES && openAddress) {
        openAddress(texts.webSite);
    }
    return true;
}

#include "app/flash_setup.h"

#include <filesystem>

#include "media/flash/flash_host.h"
#include "platform/kx_registry.h"
#include "platform/windows_paths.h"
#include "resources/file_version.h"
#include "resources/flash_check.h"

namespace {

std::string FirstExisting(std::initializer_list<std::filesystem::path> candidates) {
    for (const std::filesystem::path& candidate : candidates) {
        std::error_code error;
        if (std::filesystem::exists(candidate, error)) return candidate.lexically_normal().string();
    }
    return {};
}

}  // namespace

bool SetUpFlashPlayer(const std::string& playerPath, CKXRegistry& registry) {
    std::filesystem::path programs = std::filesystem::path(playerPath).parent_path();
    std::string module = FirstExisting(
        {programs / ".." / "lib" / "vantorix" / "vx_flash_ruffle.so", programs / VX_FLASH_MODULE_FROM_BIN});
    std::string ruffle =
        FirstExisting({programs / ".." / "share" / "vantorix" / "ruffle", programs / VX_RUFFLE_FROM_BIN});
    CKXFlashHost& host = CKXFlashHost::Instance();
    host.Configure(module, ruffle);
    if (!host.Installed()) return false;
    std::string windowsPath = WindowsPathLayer::Instance().ToWindowsPath(module);
    std::string registered;
    registry.GetValue(CKXRegistry::HKEY_CLASSES_ROOT, flashControlServerKey, "", "", false, registered);
    if (registered != windowsPath) {
        registry.SetValue(CKXRegistry::HKEY_CLASSES_ROOT, flashControlServerKey, "", windowsPath, CKXRegistry::REG_SZ);
    }
    FileVersion version = FileVersionOf(emulatedFlashVersion);
    std::error_code error;
    std::filesystem::path canonicalModule = std::filesystem::canonical(module, error);
    SetFileVersionSource([canonicalModule, version](const std::string& hostPath) -> std::optional<FileVersion> {
        std::error_code ignored;
        if (std::filesystem::equivalent(hostPath, canonicalModule, ignored)) return version;
        return std::nullopt;
    });
    return true;
}

#include "app/flash_setup.h"

#include <filesystem>

#include "media/flash/flash_host.h"
#include "platform/host_path.h"
#include "platform/kx_registry.h"
#include "platform/windows_paths.h"
#include "resources/file_version.h"
#include "resources/flash_check.h"

bool SetUpFlashPlayer(const std::string& playerPath, CKXRegistry& registry) {
    std::string module =
        FirstExistingBesideProgram(playerPath, {"../lib/vantorix/vx_flash_ruffle.so", VX_FLASH_MODULE_FROM_BIN});
    std::string ruffle = FirstExistingBesideProgram(playerPath, {"../share/vantorix/ruffle", VX_RUFFLE_FROM_BIN});
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

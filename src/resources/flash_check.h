#pragma once

#include <functional>
#include <string>

#include "resources/file_version.h"

class CKXDialogs;
class CKXRegistry;

// The Flash control's registration: its file is the default value of this key under the classes
// root.
inline constexpr const char* flashControlClassId = "{D27CDB6E-AE6D-11cf-96B8-444553540000}";
inline constexpr const char* flashControlServerKey = "CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32";

// The installed control's version: nothing when its key or its file is missing; 0.0.0.0 for a
// file without version data.
std::optional<FileVersion> GetFlashControlVersion(const CKXRegistry& registry);
// The installed control's major version: -1 when its key is missing, 0 for a file without
// version data (or no file at all).
int GetFlashControlMajor(const CKXRegistry& registry);

// What the start-up check tells the user, from the notification messages.
struct FlashCheckTexts {
    std::string title;
    std::string message;  // a format: the first "%s" takes the minimum version, the second the address
    std::string webSite;
    std::string minVersion;  // empty: 6.0.0.0
};

// The box text: message with its first two "%s" filled in and "%%" as "%"; any other "%"
// sequence stays as it is, so a menu's own text can never read past its two arguments.
std::string FlashCheckMessage(const std::string& format, const std::string& minVersion, const std::string& webSite);

// The start-up check: passes silently when the installed control is at least the minimum
// version; otherwise asks with a Yes/No box and opens the web address on Yes. Returns whether
// the box was shown.
bool RunFlashCheck(const CKXRegistry& registry, CKXDialogs& dialogs, const FlashCheckTexts& texts,
                   const std::function<void(const std::string& address)>& openAddress);

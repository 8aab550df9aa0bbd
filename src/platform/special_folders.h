#pragma once

#include <string>

// The folders that scripts ask Windows for, as Windows paths without a trailing backslash. The
// system folders and the profiles lie on drive C: laid out as on Windows XP; the desktop and the
// documents are the user's own XDG folders, so that what a menu saves there is where the user
// looks for it.
class SpecialFolders {
public:
    // Shell folder numbers as Windows programs pass them.
    enum : int {
        CSIDL_DESKTOP = 0,
        CSIDL_PROGRAMS = 2,
        CSIDL_PERSONAL = 5,
        CSIDL_STARTUP = 7,
        CSIDL_STARTMENU = 11,
        CSIDL_DESKTOPDIRECTORY = 16,
        CSIDL_FONTS = 20,
        CSIDL_COMMON_STARTMENU = 22,
        CSIDL_COMMON_PROGRAMS = 23,
        CSIDL_COMMON_STARTUP = 24,
        CSIDL_COMMON_DESKTOPDIRECTORY = 25,
        CSIDL_APPDATA = 26,
        CSIDL_COMMON_APPDATA = 35,
        CSIDL_PROGRAM_FILES = 38,
        CSIDL_PROGRAM_FILES_COMMON = 43,
    };

    // C:\Windows
    static std::string WindowsFolder();
    // C:\Windows\System32
    static std::string SystemFolder();
    // The host's temporary folder ($TMPDIR, else /tmp) as a Windows path.
    static std::string TempFolder();
    // C:\Documents and Settings\<user>
    static std::string UserProfileFolder();
    // C:\Documents and Settings\All Users
    static std::string AllUsersProfileFolder();
    // The folder of a shell folder number, or "" for a number not listed above.
    static std::string SpecialFolder(int csidl);
};

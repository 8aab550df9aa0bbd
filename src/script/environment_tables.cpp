#include "script/environment_tables.h"

#include <iterator>
#include <cstddef>

namespace {

// Scripts pass these numbers to the actions, so the values are fixed: the message box values are
// Windows' own, the shell folders are CSIDL numbers, the registry ones the player's numbering.
constexpr NamedConstant kConstants[] = {
    // Message box buttons
    {"MB_OK", 0}, {"MB_OKCANCEL", 1}, {"MB_ABORTRETRYIGNORE", 2}, {"MB_YESNOCANCEL", 3},
    {"MB_YESNO", 4}, {"MB_RETRYCANCEL", 5},
    // Message box icons
    {"MB_ICONNONE", 0}, {"MB_ICONSTOP", 16}, {"MB_ICONQUESTION", 32}, {"MB_ICONEXCLAMATION", 48},
    {"MB_ICONINFORMATION", 64},
    // Message box default button
    {"MB_DEFBUTTON1", 0}, {"MB_DEFBUTTON2", 256}, {"MB_DEFBUTTON3", 512},
    // Message box results
    {"IDOK", 1}, {"IDCANCEL", 2}, {"IDABORT", 3}, {"IDRETRY", 4}, {"IDIGNORE", 5}, {"IDYES", 6},
    {"IDNO", 7},
    // Window show modes
    {"SW_SHOWNORMAL", 1}, {"SW_MAXIMIZE", 3}, {"SW_MINIMIZE", 6},
    // Audio channels
    {"CHANNEL_USER1", 1}, {"CHANNEL_USER2", 2}, {"CHANNEL_USER3", 3}, {"CHANNEL_USER4", 4},
    {"CHANNEL_EFFECTS", 0}, {"CHANNEL_BACKGROUND", 5}, {"CHANNEL_NARRATION", 6},
    {"CHANNEL_ALL", -3},
    // Seek modes
    {"SEEK_BEGINNING", 0}, {"SEEK_END", 1}, {"SEEK_FORWARD", 2}, {"SEEK_BACKWARD", 3},
    {"SEEK_SPECIFIC", 4},
    // Page targets
    {"PAGE_FIRST", 0}, {"PAGE_LAST", 1}, {"PAGE_NEXT", 2}, {"PAGE_PREVIOUS", 3},
    {"PAGE_BACKWARD", 4}, {"PAGE_FORWARD", 5},
    // Flash states
    {"FLASH_LOADING", 0}, {"FLASH_UNINITIALIZED", 1}, {"FLASH_LOADED", 2}, {"FLASH_INTERACTIVE", 3},
    {"FLASH_COMPLETE", 4},
    // Video states
    {"VIDEO_STOPPED", 0}, {"VIDEO_PAUSED", 1}, {"VIDEO_PLAYING", 2},
    // Object kinds
    {"OBJECT_BUTTON", 0}, {"OBJECT_LABEL", 1}, {"OBJECT_PARAGRAPH", 2}, {"OBJECT_IMAGE", 3},
    {"OBJECT_FLASH", 4}, {"OBJECT_VIDEO", 5},
    // Registry roots
    {"HKEY_CLASSES_ROOT", 0}, {"HKEY_CURRENT_CONFIG", 1}, {"HKEY_CURRENT_USER", 2},
    {"HKEY_LOCAL_MACHINE", 3}, {"HKEY_USERS", 4},
    // Registry value types
    {"REG_SZ", 1}, {"REG_EXPAND_SZ", 2}, {"REG_BINARY", 3}, {"REG_DWORD", 4}, {"REG_MULTI_SZ", 7},
    // Shell folders
    {"SHF_APPLICATIONDATA", 26}, {"SHF_APPLICATIONDATA_COMMON", 35}, {"SHF_COMMONFILES", 43},
    {"SHF_DESKTOP", 16}, {"SHF_DESKTOP_COMMON", 25}, {"SHF_FONTS", 20}, {"SHF_MYDOCUMENTS", 5},
    {"SHF_PROGRAMFILES", 38}, {"SHF_STARTMENU", 11}, {"SHF_STARTMENU_COMMON", 22},
    {"SHF_STARTMENUPROGRAMS", 2}, {"SHF_STARTMENUPROGRAMS_COMMON", 23}, {"SHF_STARTUP", 7},
    {"SHF_STARTUP_COMMON", 24},
    // Button states
    {"BTN_UP", 0}, {"BTN_DOWN", 1},
    // Date formats
    {"DATE_FMT_US", 0}, {"DATE_FMT_EUROPE", 1}, {"DATE_FMT_ISO", 2}, {"DATE_FMT_JULIAN", 3},
    {"DATE_FMT_MONTH", 4}, {"DATE_FMT_DAY", 5}, {"DATE_FMT_YEAR", 6}, {"DATE_FMT_DAYOFWEEK", 7},
    // Time formats
    {"TIME_FMT_MIL", 0}, {"TIME_FMT_AMPM", 1}, {"TIME_FMT_SEC", 2}, {"TIME_FMT_MIN", 3},
    {"TIME_FMT_HOUR", 4},
    // Tables
    {"TABLE_ALL", -1},
};

// Texts are kept byte for byte, spelling included: scripts compare and show them.
constexpr ErrorMessage kErrorMessages[] = {
    {0, "Success."},
    {9999, "Unknown error."},
    {1000, "The specified file could not be found."},
    {1001, "Failed to load file."},
    {1002, "The specified path was not found."},
    {1003, "The .exe file is invalid (non-Win32 .exe or error in .exe image)."},
    {1004, "The operating system denied access to the specified file."},
    {1005, "The file name association is incomplete or invalid."},
    {1006, "The DDE transaction could not be completed because other DDE transactions were being "
           "processed."},
    {1007, "The DDE transaction failed."},
    {1008, "The DDE transaction could not be completed because the request timed out."},
    {1009, "The specified dynamic-link library was not found."},
    {1011, "There is no application associated with the given file name extension. This error "
           "will also be returned if you attempt to print a file that is not printable."},
    {1012, "There was not enough memory to complete the operation."},
    {1013, "File execution failed."},
    {1014, "A sharing violation occurred."},
    {1015, "Could not determine viewer class name."},
    {1016, "Could not determine viewer command line."},
    {1017, "Associated viewer was not an executable file."},
    {1018, "Associated viewer executable does not exist."},
    {1019, "Invalid source specified."},
    {1020, "Invalid destination specified."},
    {1021, "Source file(s) does not exist."},
    {1022, "Destination directory does not exist."},
    {1023, "Failed to copy one or more files."},
    {1024, "Failed to delete one or more files."},
    {1025, "Failed to schedule delete on reboot."},
    {1026, "Failed to schedule move on reboot."},
    {1027, "Operation aborted by user."},
    {1028, "An error occurred while calling the callback function."},
    {1029, "Error, the callback function could not be found."},
    {1030, "Could not get the size of the version information."},
    {1031, "Could not get the file version information."},
    {1032, "The specified filename contains invalid characters."},
    {1033, "The destination file already exists."},
    {1034, "An unknown error occurred."},
    {1035, "Run on reboot command failed, could not open key."},
    {1036, "Run on reboot command failed, could not set value."},
    {1037, "Could not set the file's attributes."},
    {1038, "Could not set file's compressed attribute."},
    {1039, "Could not create destination Folder."},
    {1040, "Could not create a backup of one or more files."},
    {1041, "Out of memory."},
    {1100, "The specified object could not be found."},
    {1101, "Play command failed."},
    {1102, "Pause command failed."},
    {1103, "Media does not support seeking."},
    {1104, "Seek command failed."},
    {1105, "Stop command failed."},
    {1106, "Could not display dialog."},
    {1107, "File is to large to read."},
    {1108, "The specified file could not be opened"},
    {1109, "The image file could not be found"},
    {1110, "Could not determine the size of the media."},
    {1115, "Exception thrown by internal control."},
    {1118, "Action cannot be performed on disabled object."},
    {1200, "The specified channel is out of range."},
    {1201, "Audio channel is not loaded."},
    {1202, "Set volume command failed."},
    {1203, "Could not determine volume level."},
    {1204, "Error CHANNEL_ALL not supported for the Audio.Load action."},
    {1205, "Error CHANNEL_ALL not supported for the Audio.GetVolume action."},
    {1206, "Error CHANNEL_ALL not supported for the Audio.GetCurrentPos action."},
    {1207, "Error CHANNEL_ALL not supported for the Audio.Seek action."},
    {1208, "Could not determine audio file's length."},
    {1209, "Could not determine the playback position."},
    {1210, "Error CHANNEL_ALL not supported for the Audio.GetOggTags action."},
    {1211, "Error sound system not initialized."},
    {1212, "Error file does not appear to be of type Ogg-Vorbis"},
    {1300, "The specified page does not exist."},
    {1301, "Could not resolve the current page."},
    {1400, "Could not show status dialog."},
    {1401, "Could not hide status dialog."},
    {1402, "Could not set the status text on the status dialog."},
    {1403, "Could not set the progress meter's range on the status dialog."},
    {1404, "Could not set the progress meter's position on the status dialog."},
    {1405, "Could not set the message text on the status dialog."},
    {1406, "Could not set the title text on the status dialog."},
    {1407, "Could not get the position of the progress meter."},
    {1500, "Could not delete the specified INI file section."},
    {1501, "Could not delete the specified INI file value."},
    {1502, "Could not set the specified value."},
    {1600, "Could not create the specified Registry key."},
    {1601, "Could not delete the specified Registry key."},
    {1602, "Could not delete the specified Registry value."},
    {1603, "The specified sub key does not exist."},
    {1604, "Could not get the sub key names."},
    {1605, "Could not get the specified value's data."},
    {1606, "Could not get the value names."},
    {1607, "Could not get the registry value's type."},
    {1608, "Could not set the specified registry value's data."},
    {1700, "Could not add item to ListBox object."},
    {1701, "Could not insert item into ListBox object."},
    {1702, "Index out of range"},
    {1800, "Could not get the OS Version information."},
    {1801, "Could not reboot system. OS information not available."},
    {1802, "Failure in LoadLibrary()."},
    {1803, "GetProcAddress failed."},
    {1804, "Failure code returned by DllRegisterServer."},
    {1805, "Error in call to LoadTypeLib."},
    {1806, "Error in call to RegisterTypeLib."},
    {1807, "Error, font name cannot be empty."},
    {1808, "Invalid font name."},
    {1809, "Failed to add font to system font table."},
    {1810, "Failed to add font to registry."},
    {1811, "Failed to remove font from system font table."},
    {1812, "Failed to remove font from registry."},
    {1813, "Could not retrieve user information."},
    {1814, "Unknown date format specified."},
    {1815, "Unknown time format specified."},
    {1816, "Unable to determine default language ID."},
    {1817, "Unable to determine display info."},
    {1818, "The server was unable to complete the registration of all the type libraries used by "
           "its classes."},
    {1819, "The server was unable to complete the registration of all the object classes."},
    {1820, "The server was unable to remove the entries of all the type libraries used by its "
           "classes."},
    {1821, "The server was unable to remove the entries of all the object classes."},
    {1822, "Failure code returned by DllUnregisterServer."},
    {1900, "Could not open text file."},
    {1901, "The text file is too large to be read."},
    {1902, "Error, could not save text file."},
    {2000, "Error, window handle is not valid."},
    {2001, "Error, could not hide window."},
    {2002, "Error, could not maximize window."},
    {2003, "Error, could not minimize window."},
    {2004, "Error, could not restore window."},
    {2005, "Error, could not show window."},
    {2100, "Error, could not eject drive, action not supported."},
    {2101, "Error, could not calculate free space."},
    {2102, "Error, could not calculate total size."},
    {2103, "Error, could not calculate used space."},
    {2200, "Could not create folder."},
    {2201, "The specified folder does not exist."},
    {2202, "The specified path does not point to a folder."},
    {2203, "Could not delete folder."},
    {2204, "Could not set the current folder."},
    {2205, "The destination folder already exists."},
    {2206, "The folder name contains invalid characters."},
    {2207, "Could not delete base folder."},
    {2300, "Could not create folder for shortcut."},
    {2301, "Could not create the link for the shortcut."},
    {2302, "Error, the shortcut description is longer then 250 characters."},
    {2303, "Shortcut could not be deleted."},
    {2304, "Unknown shell folder."},
    {2305, "The folder returned is invalid."},
    {2400, "Failed to load the specified DLL."},
    {2401, "Failed to find the specified function within the DLL."},
    {2500, "Failed to download file from Web - Unable to connect to server or proxy server."},
    {2501, "Failed to download file from Web - Request denied by server."},
    {2502, "Failed to download file from Web - Invalid URL supplied."},
    {2503, "Failed to download file from Web - Operation terminated before completion."},
    {2504, "Failed to download file from Web - An invalid type has been specified."},
    {2505, "Failed to download file from Web - Unable to open specified data source."},
    {2506, "Failed to download file from Web - Timeout occurred."},
    {2507, "Failed to download file from Web - Socket receive error occurred."},
    {2508, "Failed to download file from Web - Data source write error."},
    {2509, "Failed to download file from Web - Operation aborted."},
    {2510, "Invalid parameter - Connection timeout."},
    {2511, "Failed to download file from Web - Failed to set port."},
    {2512, "Failed to download file from Web - Error code returned by server."},
    {2513, "HTTP Client not be initialized."},
    {2514, "Unknown error."},
    {2515, "Failed to submit to Web - Unable to connect to server or proxy server."},
    {2516, "Failed to submit to Web - Request denied by server."},
    {2517, "Failed to submit to Web - Invalid URL supplied."},
    {2518, "Failed to submit to Web - Operation terminated before completion."},
    {2519, "Failed to submit to Web - An invalid type has been specified."},
    {2520, "Failed to submit to Web - Unable to open specified data source."},
    {2521, "Failed to submit to Web - Timeout occurred."},
    {2522, "Failed to submit to Web - Socket receive error occurred."},
    {2523, "Failed to submit to Web - Data source write error."},
    {2524, "Failed to submit to Web - Operation aborted."},
    {2526, "Failed to submit to Web - Failed to set port."},
    {2527, "Failed to submit to Web - Error code returned by server."},
    {2600, "Could not reenter the zip file."},
    {2601, "Unexpected end of zip file."},
    {2602, "Zip file structure error."},
    {2603, "Out of memory."},
    {2604, "Internal logic error."},
    {2605, "Entry too large to split."},
    {2606, "Invalid comment format."},
    {2607, "Zip test failed or out of memory."},
    {2608, "User cancelled."},
    {2609, "An error occurred when using a temp file."},
    {2610, "A read or seek error occurred."},
    {2611, "No files were added to the zip file."},
    {2612, "Missing or empty zip file."},
    {2613, "Error writing to a file."},
    {2614, "Couldn't open to write."},
    {2615, "Bad control parameters."},
    {2616, "Could not complete operation."},
    {2617, "Could not open a specified file to read."},
    {2618, "Media error. Disk not ready, hardware read/write error."},
    {2619, "Bad Multi-Volume control parameters."},
    {2620, "Improper usage of a Multi-Volume Zip File."},
    {2621, "Unexpected end of zip file, the zip file may be corrupted."},
    {2622, "The internal structure of the zip file is invalid."},
    {2623, "Out of memory, not enough memory was available to complete the action."},
    {2624, "The zip file could not be found."},
    {2625, "There was nothing to extract in the unzip action."},
    {2626, "An error occurred when trying to extract to the same volume."},
    {2627, "The index specified in the zip file was out of bounds."},
    {2628, "An error occurred when creating the output file."},
    {2629, "An error occurred when opening the zip file. The zip file may be locked or "
           "unavailable."},
    {2630, "An extracted file has an incorrect CRC value and may be corrupted."},
    {2631, "The operation has been canceled."},
    {2632, "A file was skipped during the extraction because it is encrypted and no password was "
           "specified, or the password was incorrect."},
    {2633, "A file was skipped because it used an unknown compression format."},
    {2634, "Bad or missing decrypt code, either no password was specified, or the password was "
           "incorrect.."},
    {2635, "Busy error, the zip file could not be entered."},
    {2636, "Could not extract volume ID item."},
    {2637, "A bad command structure was used when attempting to unzip the file."},
    {2638, "The operation was canceled through an internal function."},
    {2639, "One or more of the files was skipped during the extraction phase. Usually this is "
           "caused by an incorrect password."},
    {2640, "The destination disk was full, and no more information could be written to it."},
    {2641, "The destination folder could not be created."},
    {2700, "Could not register window class to create splash dialog."},
    {2701, "Could not create Flash splash dialog."},
    {2702, "Could not create image splash dialog."},
    {2703, "Could not create video splash dialog."},
    {2800, "An error occurred getting the current page name. No current page."},
    {2801, "Could not load value."},
    {2802, "Could not save value."},
    {2803, "Error, could not get applications window handle."},
    {2900, "An internal error occurred resolving the specified function."},
    {2901, "A runtime error occurred while calling the function."},
    {2902, "A memory allocation error occurred while calling the function."},
    {3000, "An invalid index has been specified. Indices must be greater than or equal to -1."},
    {3001, "The specified path is longer then MAX_PATH,or 260 characters."},
    {3300, "The specified math value is not valid for the given function."},
};

constexpr NotificationMessage kNotificationMessages[] = {
    {"MissingFlashTitle", "Incorrect Flash Version"},
    {"MissingFlashMessage",
     "This application requires Macromedia Flash Player version %s or greater to operate "
     "properly.  You can download Flash Player for free from %s.  Would you like to download "
     "Flash Player now?"},
    {"MissingFlashWebSite", "https://get.adobe.com/flashplayer/"},
    {"MissingFlashMinVersion", "6.0.0.0"},
};

constexpr bool CodesAreUnique() {
    constexpr std::size_t count = std::size(kErrorMessages);
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t j = i + 1; j < count; ++j) {
            if (kErrorMessages[i].code == kErrorMessages[j].code) return false;
        }
    }
    return true;
}

static_assert(std::size(kConstants) == 97);
static_assert(std::size(kErrorMessages) == 229);
static_assert(CodesAreUnique(), "an error code appears twice");

}  // namespace

std::span<const NamedConstant> ScriptConstants() { return kConstants; }
std::span<const ErrorMessage> ErrorMessages() { return kErrorMessages; }
std::span<const NotificationMessage> NotificationMessages() { return kNotificationMessages; }

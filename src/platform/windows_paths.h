#pragma once

#include <map>
#include <mutex>
#include <string>

// Scripts and project data name files by Windows paths (`C:\Windows\Fonts`, `Z:\home\ann\menu`).
// This layer maps them to host paths and back, one instance for the whole process, configured
// once at start (the player's --drive options; a data home of their own in tests).
//
// Drives: Z: is the host root; C: is a per-user folder <data home>/vantorix/drive_c laid out like a
// Windows XP system drive; more letters come from MapDrive. Letters compare ignoring case.
class CodePage;

class WindowsPathLayer {
public:
    static WindowsPathLayer& Instance();

    // The per-user data folder that holds drive C: and the registry: the folder set here, else
    // $VANTORIX_DATA_HOME, else $XDG_DATA_HOME (when absolute), else $HOME/.local/share.
    // An empty folder removes the override.
    void SetDataHome(const std::string& folder);
    std::string DataHome() const;

    // Maps a drive letter (either case) to a host folder, replacing an earlier mapping. A relative
    // folder is taken from the current directory. False for a non-letter or an empty folder.
    bool MapDrive(char letter, const std::string& hostFolder);
    // Forgets a drive, C: and Z: included.
    void UnmapDrive(char letter);
    // Back to the drives of a fresh start: Z: is /, C: is the per-user folder under the data home.
    void ResetDrives();
    // The host folder of a drive, or "" when the letter is not mapped. Creates nothing.
    std::string DriveFolder(char letter) const;

    // The host path of a Windows path, or "" when there is no such path (unknown drive, network
    // path). Existing components are matched ignoring ASCII case against the real directory; the
    // part that does not exist yet is appended as given, so that files can be created.
    std::string ToHostPath(const std::string& windowsPath);
    // The code page of the Windows paths given and returned (none: bytes pass unchanged). Host
    // names are UTF-8; characters the code page lacks become '?' in Windows paths.
    void SetTextCodePage(const CodePage* codePage);
    // The Windows form of a host path (relative ones are taken from the current directory): the
    // drive whose folder is the longest that contains it, backslashes, no trailing backslash
    // except for a drive root. "" when no drive contains it.
    std::string ToWindowsPath(const std::string& hostPath) const;

    // The host folder of C:. For the per-user folder, the first use creates the Windows XP layout
    // that programs expect (Windows, Program Files, Documents and Settings with the user's and all
    // users' profiles). A folder given with MapDrive is used as it is.
    std::string DriveCFolder();

    // The login name shown in profile folders: the password database's, else $USER, else "User".
    static std::string UserName();
    // The user's host home folder: $HOME, else the password database's.
    static std::string HomeFolder();

private:
    WindowsPathLayer();

    std::string DataHomeLocked() const;
    std::string DriveFolderLocked(char letter) const;
    std::string ToWindowsPathLocked(const std::string& hostPath) const;
    void EnsureDriveCLocked(const std::string& folder);

    mutable std::mutex mutex;
    std::string dataHomeOverride;
    const CodePage* textCodePage = nullptr;
    std::map<char, std::string> drives;  // upper-case letter -> normalised absolute host folder
    bool defaultDriveC = true;           // C: follows the data home unless mapped explicitly
    std::string createdDriveC;           // the per-user C: folder whose layout already exists
};

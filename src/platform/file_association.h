#pragma once

#include <optional>
#include <string>

// The program a file type opens with, from the desktop's MIME database: the extension gives a
// MIME type (the mime/globs2 files of the XDG data folders), the type gives a default application
// (mimeapps.list, defaults.list, then any application that declares the type), and that
// application's desktop entry gives the program its Exec line starts.
//
// The statuses follow the steps in that order, so that each failing step keeps its own code:
//   NoType         no glob of the MIME database matches the extension
//   NoCommand      no application is set or declared for the type
//   NotExecutable  the application's Exec line is missing, empty or cannot be parsed
//   Missing        the program it names is not an executable file (absolute, or found on PATH)
enum class ViewerStatus { Ok, NoType, NoCommand, NotExecutable, Missing };

// extension: ".pdf" or "pdf", any letter case. programPath gets the program's absolute path on
// success and is cleared otherwise.
ViewerStatus FindDefaultViewer(const std::string& extension, std::string& programPath);

// The MIME type of files ending in ".extension" ("" when none): the glob of the highest weight,
// ties going to the folder read first ($XDG_DATA_HOME before $XDG_DATA_DIRS).
std::string MimeTypeForExtension(const std::string& extension);

// The program of a desktop entry's Exec value as stored in the file: the first word after the
// entry's escapes (\s, \\ ...) and its quoting ("..." with \" \` \$ \\ inside) are undone, field
// codes (%f, %U ...) dropped and %% read as %. Nothing for an empty or unparsable value.
std::optional<std::string> DesktopExecProgram(const std::string& exec);

#pragma once

#include <optional>
#include <string>

// Finds an existing file or folder the way Windows would: every component of path is matched
// ignoring the case of ASCII letters against the real directory. An exact match wins; among
// several case variants the first in byte order is taken. Returns the path as stored on disk,
// or nothing when some component does not exist.
std::optional<std::string> FindHostPathIgnoringCase(const std::string& path);

// Whether a host path names an existing file or folder (symbolic links followed).
bool HostPathExists(const std::string& path);

// Opens an existing regular file for reading, never blocking: a named pipe or a device in the
// place of a project file gives -1 at once instead of waiting for a writer. Returns the
// descriptor (blocking reads, closed on exec), or -1.
int OpenRegularFile(const std::string& path);
// Whether the path names a regular file (symbolic links followed).
bool IsRegularFile(const std::string& path);

#pragma once

#include <cstddef>
#include <initializer_list>
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
// The first bytes of a regular file, at most limit of them; nothing when it cannot be opened as
// one (OpenRegularFile) or a read fails.
std::optional<std::string> ReadRegularFileStart(const std::string& path, std::size_t limit);

// The first of the paths, relative to the folder of the program at programPath, that exists:
// where a program finds what came with it, in the build tree or where the install put it.
// Empty when none does.
std::string FirstExistingBesideProgram(const std::string& programPath, std::initializer_list<const char*> relatives);

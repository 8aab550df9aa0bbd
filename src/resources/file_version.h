#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The four numbers of a file's version, as Windows keeps them in a program's version resource.
struct FileVersion {
    int major = 0;
    int minor = 0;
    int build = 0;
    int revision = 0;
};

// A source of versions for files that carry none of their own, such as a player that stands in
// for a Windows control: it answers for the host paths it knows and gives nothing for others.
using FileVersionSource = std::function<std::optional<FileVersion>(const std::string& hostPath)>;
void SetFileVersionSource(FileVersionSource source);

// The version of an existing file, looked up in this order: the source above; a text file beside
// it named like it with ".version" added, whose first line is the version ("9.0.124.0"); the
// fixed file version of a Windows program's version resource. Nothing when none of them has one.
std::optional<FileVersion> ReadFileVersion(const std::string& hostPath);

// A version text such as "9.0.124.0" as its first four numbers (missing ones 0).
FileVersion FileVersionOf(std::string_view text);

// The fixed file version in the bytes of a Windows program (an "MZ" file), or nothing.
std::optional<FileVersion> VersionResourceIn(const unsigned char* bytes, std::size_t size);

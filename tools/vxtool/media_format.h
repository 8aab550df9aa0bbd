#pragma once

#include <string>

// The format of a file told by its first bytes, never by its name: "png", "jpeg", "gif", "bmp",
// "tiff", "ico", "wav", "avi", "aiff", "ogg", "flac", "mp3", "midi", "swf", "mpeg", "mp4",
// "asf", "webp", "zip" (button files are zip archives), "windows-program", "elf" (a Linux
// program or library), or "unknown". Empty when the file cannot
// be read; only regular files are opened.
std::string MediaFormatOf(const std::string& hostPath);

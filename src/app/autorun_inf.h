#pragma once

#include <optional>
#include <string>
#include <string_view>

// The program a disc's autorun.inf starts: the first word of the "open=" line of its [autorun]
// section (section and key in any letter case), or the quoted text when the value begins with a
// quote; arguments after it are dropped. Text in UTF-16 (with its byte order mark) is read too.
// Nothing when there is no such line, or the text is not text.
std::optional<std::string> AutorunOpenProgram(std::string_view text);

// The same for the file at a host path, of which only the first 64 KiB are read.
std::optional<std::string> ReadAutorunOpenProgram(const std::string& path);

#pragma once

#include <string>
#include <string_view>

class CodePage;

// Upper-cases 8-bit text of the project's code page the way Windows upper-cases ANSI text: the
// result has the same length. In a single-byte code page every letter whose capital also exists
// in the code page is folded (é to É, ÿ to Ÿ in windows-1252); in a multi-byte code page only
// ASCII letters are, and never the second byte of a double-byte character.
std::string UpperCaseAnsi(std::string_view text, const CodePage& codePage);

#pragma once

#include <cstddef>
#include <string>
#include <utility>

// An INI file that scripts read and write, with the rules Windows programs rely on:
//
//   [Section]        a header; text after the closing bracket is ignored
//   Key = Value      the first '=' ends the key
//   ; comment        as is any line without '=' and any '[' line without ']'
//
// Section names and keys compare ignoring ASCII case; blanks and tabs around names, keys and
// values do not count; a value in matching double or single quotes loses them. Only the first
// section of a name is looked at, and in it the first key of a name. Lines end in CR LF, LF or a
// lone CR, and a NUL byte ends the file's text. Text is 8-bit bytes in the project's code page.
class CKXIniFile {
public:
    explicit CKXIniFile(std::string hostPath) : path(std::move(hostPath)) {}

    const std::string& Path() const { return path; }

    // The value of key in section, cut to bufferSize - 1 bytes. When the file, the section or the
    // key is missing, result is defaultValue without its trailing blanks, cut the same way, and
    // the return is false.
    bool GetString(const std::string& section, const std::string& key, const std::string& defaultValue,
                   std::size_t bufferSize, std::string& result) const;

    // Gives key in section the value, replacing only the old value's bytes: the rest of the file
    // stays as it was, including the key's spelling and the line breaks. A new key goes after the
    // last key of its section, a new section at the end of the file, with the file's own line
    // breaks (CR LF in a file without any). The file is replaced as a whole, never half-written.
    // False when the file does not exist (it is never created) or cannot be written, and for what
    // could not be read back as written: a line break or NUL anywhere, an empty key, a key with
    // '=' or starting with ';' or '[', or a section name with ']'.
    bool SetString(const std::string& section, const std::string& key, const std::string& value);

private:
    std::string path;
};

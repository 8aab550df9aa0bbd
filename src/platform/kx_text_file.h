#pragma once

#include <cstddef>
#include <string>

enum class TextFileStatus { Ok, Missing, CannotOpen, TooLarge, CannotWrite };

// A whole text file as 8-bit bytes in the project's code page, read and written without any
// conversion of line breaks or characters.
class CKXTextFile {
public:
    // The largest file that Load accepts, in bytes.
    static constexpr std::size_t maxSize = 2000000;

    // Reads the file at hostPath. It must exist (else Missing), be a regular file that opens for
    // reading (else CannotOpen; a folder, device or pipe cannot be opened) and hold at most maxSize
    // bytes (else TooLarge). The bytes are taken in blocks of 1024: a zero byte ends the text of
    // its block, and the next block carries on. On failure Text() is empty.
    TextFileStatus Load(const std::string& hostPath);
    const std::string& Text() const { return text; }

    // Replaces the file at hostPath (or creates it) with the bytes of contents, through a
    // temporary file and a rename so that the old file stays whole when writing fails. An
    // existing file keeps its permissions, and a symbolic link keeps pointing at the file it
    // names, which is the one replaced. CannotWrite when the folder is missing or not writable,
    // the path is a folder, or an existing file is read-only. Text() is not changed.
    static TextFileStatus Save(const std::string& hostPath, const std::string& contents);

private:
    std::string text;
};

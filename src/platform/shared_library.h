#pragma once

#include <string>

// A shared library loaded for as long as this object lives. Only regular files are opened: a
// folder, a named pipe or a dangling link is refused before the loader sees it.
class CKXSharedLibrary {
public:
    CKXSharedLibrary() = default;
    CKXSharedLibrary(const CKXSharedLibrary&) = delete;
    CKXSharedLibrary& operator=(const CKXSharedLibrary&) = delete;
    ~CKXSharedLibrary() { Close(); }

    // False with error set when the file is not a library this process can load.
    bool Open(const std::string& path, std::string& error);
    void Close();
    bool IsOpen() const { return handle != nullptr; }
    // The address of an exported function; null when the library does not export it.
    void* Symbol(const char* name) const;

private:
    void* handle = nullptr;
};

#pragma once

// RAII holders for libzip handles and the name rules shared by the archive classes.
#include <zip.h>

#include <memory>
#include <string_view>

struct ZipDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipDiscard>;

struct ZipFileClose {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using ZipFileHandle = std::unique_ptr<zip_file_t, ZipFileClose>;

struct ZipSourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using ZipSourceHandle = std::unique_ptr<zip_source_t, ZipSourceFree>;

// Callers pass names the way the menu scripts write them, sometimes still in quotes.
inline std::string_view StripQuotes(std::string_view text) {
    while (!text.empty() && text.front() == '"') text.remove_prefix(1);
    while (!text.empty() && text.back() == '"') text.remove_suffix(1);
    return text;
}

#include "platform/disc/disc_image.h"

#include <cdio/iso9660.h>
#include <cdio/logging.h>

#include <algorithm>
#include <cstring>

#include "platform/ascii_case.h"

namespace {

constexpr std::size_t sectorSize = ISO_BLOCKSIZE;
// Deeper than any disc's folders, so that a directory record that points back up ends.
constexpr int maxDepth = 64;

// The name as a person reads it: ISO 9660 names lose their ";1" version and a trailing dot.
std::string ShownName(const iso9660_stat_t& stat) {
    std::string name = stat.filename;
    if (std::size_t version = name.rfind(';'); version != std::string::npos) name.erase(version);
    if (!name.empty() && name.back() == '.' && name != "." && name != "..") name.pop_back();
    return name;
}

std::vector<std::string> Components(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '/' || c == '\\') {
            if (!part.empty()) parts.push_back(std::move(part));
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(std::move(part));
    return parts;
}

struct StatList {
    CdioList_t* list = nullptr;
    ~StatList() {
        if (list) iso9660_filelist_free(list);
    }
};

}  // namespace

struct CDiscImage::Handle {
    iso9660_t* iso = nullptr;
    ~Handle() {
        if (iso) iso9660_close(iso);
    }
};

struct CDiscImage::Located {
    std::string discPath;  // the disc's own spelling, for the library
    Entry entry;
    lsn_t lsn = 0;
};

namespace {

// The library's own warnings (a file that is no image, a sector it cannot read) would reach the
// player's standard error; what matters comes back as results.
void QuietLibrary(cdio_log_level_t, const char*) {}

}  // namespace

std::unique_ptr<CDiscImage> CDiscImage::Open(const std::string& hostPath, std::string& error) {
    cdio_log_set_handler(QuietLibrary);
    std::unique_ptr<CDiscImage> image(new CDiscImage);
    image->handle = std::make_unique<Handle>();
    image->handle->iso = iso9660_open_ext(hostPath.c_str(), ISO_EXTENSION_ALL);
    if (!image->handle->iso) {
        error = "cannot read " + hostPath + " as a CD-ROM image";
        return nullptr;
    }
    return image;
}

CDiscImage::~CDiscImage() = default;

std::optional<CDiscImage::Located> CDiscImage::Locate(const std::string& path) const {
    std::vector<std::string> parts = Components(path);
    if (parts.size() > maxDepth) return std::nullopt;
    Located found;
    found.discPath = "/";
    found.entry.folder = true;
    for (const std::string& part : parts) {
        if (!found.entry.folder) return std::nullopt;
        StatList children{iso9660_ifs_readdir(handle->iso, found.discPath.c_str())};
        if (!children.list) return std::nullopt;
        bool matched = false;
        CdioListNode_t* node;
        _CDIO_LIST_FOREACH(node, children.list) {
            auto* stat = static_cast<iso9660_stat_t*>(_cdio_list_node_data(node));
            std::string name = ShownName(*stat);
            if (name == "." || name == ".." || !EqualsIgnoringAsciiCase(name, part)) continue;
            found.discPath += (found.discPath.size() > 1 ? "/" : "") + std::string(stat->filename);
            found.entry = {name, stat->type == iso9660_stat_s::_STAT_DIR, stat->size};
            found.lsn = stat->lsn;
            matched = true;
            break;
        }
        if (!matched) return std::nullopt;
    }
    return found;
}

std::optional<CDiscImage::Entry> CDiscImage::Stat(const std::string& path) const {
    std::optional<Located> found = Locate(path);
    if (!found) return std::nullopt;
    return found->entry;
}

std::vector<CDiscImage::Entry> CDiscImage::List(const std::string& path) const {
    std::vector<Entry> entries;
    std::optional<Located> found = Locate(path);
    if (!found || !found->entry.folder) return entries;
    StatList children{iso9660_ifs_readdir(handle->iso, found->discPath.c_str())};
    if (!children.list) return entries;
    CdioListNode_t* node;
    _CDIO_LIST_FOREACH(node, children.list) {
        auto* stat = static_cast<iso9660_stat_t*>(_cdio_list_node_data(node));
        std::string name = ShownName(*stat);
        if (name.empty() || name == "." || name == "..") continue;
        entries.push_back({name, stat->type == iso9660_stat_s::_STAT_DIR, stat->size});
    }
    return entries;
}

std::optional<CDiscImage::File> CDiscImage::OpenFile(const std::string& path) const {
    std::optional<Located> found = Locate(path);
    if (!found || found->entry.folder) return std::nullopt;
    return File{found->entry.size, static_cast<std::uint32_t>(found->lsn)};
}

long long CDiscImage::Read(const File& file, std::uint64_t offset, void* buffer, std::size_t size) const {
    if (offset >= file.size || size == 0) return 0;
    size = static_cast<std::size_t>(std::min<std::uint64_t>(size, file.size - offset));
    auto* out = static_cast<unsigned char*>(buffer);
    unsigned char sector[sectorSize];
    std::size_t done = 0;
    while (done < size) {
        std::uint64_t at = offset + done;
        auto lsn = static_cast<lsn_t>(file.firstSector + at / sectorSize);
        std::size_t within = at % sectorSize, left = size - done;
        // Whole sectors go straight to the caller; a part of one goes through our own.
        if (within == 0 && left >= sectorSize) {
            std::size_t count = std::min<std::size_t>(left / sectorSize, 64);
            long got = iso9660_iso_seek_read(handle->iso, out + done, lsn, static_cast<long>(count));
            // An image cut short gives what it has, one sector at a time.
            if (got != static_cast<long>(count * sectorSize) && count > 1) {
                count = 1;
                got = iso9660_iso_seek_read(handle->iso, out + done, lsn, 1);
            }
            if (got != static_cast<long>(count * sectorSize)) return done > 0 ? static_cast<long long>(done) : -1;
            done += count * sectorSize;
            continue;
        }
        if (iso9660_iso_seek_read(handle->iso, sector, lsn, 1) != static_cast<long>(sectorSize)) {
            return done > 0 ? static_cast<long long>(done) : -1;
        }
        std::size_t take = std::min(left, sectorSize - within);
        std::memcpy(out + done, sector + within, take);
        done += take;
    }
    return static_cast<long long>(done);
}

#include "platform/disc/disc_image.h"

#include <cdio/cdio.h>
#include <cdio/iso9660.h>
#include <cdio/logging.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/ascii_case.h"

namespace {

constexpr std::size_t sectorSize = ISO_BLOCKSIZE;
// Deeper than any disc's folders, so that a directory record that points back up ends.
constexpr int maxDepth = 64;
// Larger than any disc's folder listing: a directory record that claims more is damaged, and the
// library would set aside all of it before reading.
constexpr std::uint64_t maxFolderBytes = 16u << 20;

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

// The .bin of a .cue whose first track is a data track of 2,048-byte sectors; empty otherwise.
std::string IsoSectorsBinOf(const std::string& cuePath) {
    char* bin = cdio_is_cuefile(cuePath.c_str());
    if (!bin) return {};
    std::string binPath = bin;
    free(bin);
    // A cue sheet is a few lines; what a file holds past its first 64 KiB is no cue sheet's.
    std::string text(64 * 1024, '\0');
    std::ifstream cue(cuePath, std::ios::binary);
    cue.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(cue.gcount()));
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::size_t track = text.find("TRACK");
    if (track == std::string::npos) return {};
    std::string line = text.substr(track, text.find_first_of("\r\n", track) - track);
    bool isoSectors = line.find("MODE1/2048") != std::string::npos;
    return isoSectors && access(binPath.c_str(), R_OK) == 0 ? binPath : std::string();
}

struct StatList {
    CdioList_t* list = nullptr;
    ~StatList() {
        if (list) iso9660_filelist_free(list);
    }
};

}  // namespace

// The image through one of libcdio's two roads: an ISO 9660 file read directly, or a CD image
// format (BIN/CUE, NRG, TOC) through its image drivers, which give the data track's sectors.
struct CDiscImage::Handle {
    iso9660_t* iso = nullptr;
    CdIo_t* cdio = nullptr;
    std::uint64_t imageBytes = 0;  // how much the image holds at most
    std::uint64_t rootBytes = 0;   // the size of the root folder's listing
    ~Handle() {
        if (iso) iso9660_close(iso);
        if (cdio) cdio_destroy(cdio);
    }
    // The entries of the folder at the disc's own path, whose listing takes size bytes; none
    // when that cannot be a folder of this image.
    CdioList_t* ReadFolder(const std::string& path, std::uint64_t size) const {
        if (size > maxFolderBytes || size > imageBytes) return nullptr;
        return iso ? iso9660_ifs_readdir(iso, path.c_str()) : iso9660_fs_readdir(cdio, path.c_str());
    }
    // The size of the root folder's listing, as the volume descriptor gives it, read once.
    void MeasureRoot() {
        iso9660_stat_t* root = iso ? iso9660_ifs_stat(iso, "/") : iso9660_fs_stat(cdio, "/");
        rootBytes = root ? root->size : UINT64_MAX;
        if (root) iso9660_stat_free(root);
    }
    bool ReadSectors(void* out, lsn_t lsn, std::size_t count) const {
        if (iso)
            return iso9660_iso_seek_read(iso, out, lsn, static_cast<long>(count)) ==
                   static_cast<long>(count * sectorSize);
        return cdio_read_data_sectors(cdio, out, lsn, ISO_BLOCKSIZE, static_cast<std::uint32_t>(count)) ==
               DRIVER_OP_SUCCESS;
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
    auto opened = [&image] {
        image->handle->MeasureRoot();
        return std::move(image);
    };
    std::error_code unknown;
    image->handle->imageBytes = std::filesystem::file_size(hostPath, unknown);
    image->handle->iso = iso9660_open_ext(hostPath.c_str(), ISO_EXTENSION_ALL);
    if (image->handle->iso) return opened();
    // A .bin is opened through the .cue beside it.
    std::string source = hostPath;
    if (char* cue = cdio_is_binfile(hostPath.c_str())) {
        if (access(cue, R_OK) == 0) source = cue;
        free(cue);
    }
    // libcdio reads every .bin as 2,352-byte sectors: a data track of 2,048-byte ones is an ISO
    // 9660 file under another name, read as one.
    if (std::string bin = IsoSectorsBinOf(source); !bin.empty()) {
        image->handle->imageBytes = std::filesystem::file_size(bin, unknown);
        image->handle->iso = iso9660_open_ext(bin.c_str(), ISO_EXTENSION_ALL);
        if (image->handle->iso) return opened();
    }
    for (driver_id_t driver : {DRIVER_BINCUE, DRIVER_NRG, DRIVER_CDRDAO}) {
        CdIo_t* cdio = cdio_open(source.c_str(), driver);
        if (!cdio) continue;
        if (iso9660_fs_read_superblock(cdio, ISO_EXTENSION_ALL)) {
            image->handle->cdio = cdio;
            lsn_t sectors = cdio_get_disc_last_lsn(cdio);
            image->handle->imageBytes = sectors > 0 ? static_cast<std::uint64_t>(sectors) * sectorSize : 0;
            return opened();
        }
        cdio_destroy(cdio);
    }
    error = "cannot read " + hostPath + " as a CD-ROM image";
    return nullptr;
}

CDiscImage::~CDiscImage() = default;

std::optional<CDiscImage::Located> CDiscImage::Locate(const std::string& path) const {
    std::vector<std::string> parts = Components(path);
    if (parts.size() > maxDepth) return std::nullopt;
    Located found;
    found.discPath = "/";
    found.entry.folder = true;
    found.entry.size = handle->rootBytes;
    for (const std::string& part : parts) {
        if (!found.entry.folder) return std::nullopt;
        StatList children{handle->ReadFolder(found.discPath, found.entry.size)};
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
    StatList children{handle->ReadFolder(found->discPath, found->entry.size)};
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
        // Whole sectors go straight to the caller; a part of one goes through our own. An image
        // cut short gives what it has, one sector at a time.
        if (within == 0 && left >= sectorSize) {
            std::size_t count = std::min<std::size_t>(left / sectorSize, 64);
            bool read = handle->ReadSectors(out + done, lsn, count);
            if (!read && count > 1) {
                count = 1;
                read = handle->ReadSectors(out + done, lsn, 1);
            }
            if (!read) return done > 0 ? static_cast<long long>(done) : -1;
            done += count * sectorSize;
            continue;
        }
        if (!handle->ReadSectors(sector, lsn, 1)) return done > 0 ? static_cast<long long>(done) : -1;
        std::size_t take = std::min(left, sectorSize - within);
        std::memcpy(out + done, sector + within, take);
        done += take;
    }
    return static_cast<long long>(done);
}

#include "resources/kx_ttf_manager.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/font_registration.h"
#include "project/archive_error.h"
#include "project/kx_ttf_info.h"
#include "project/unzip_to_memory.h"
#include "project/vantorix_project.h"

namespace {

constexpr std::size_t maxFileNameBytes = 200;
// Beyond this many leftover folders something else is wrong with the temporary folder.
constexpr int maxFolderNumber = 100000;

bool WriteWholeFile(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

// Creates base + ".TFT" anew; a name taken by another font of this run gets a number.
std::string CreateFontFile(const std::string& base, const std::vector<std::uint8_t>& bytes) {
    for (int n = 1; n < 100; ++n) {
        std::string path = (n == 1 ? base : base + "_" + std::to_string(n)) + ".TFT";
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return {};
        }
        bool written = WriteWholeFile(fd, bytes);
        if (close(fd) != 0) written = false;
        if (written) return path;
        unlink(path.c_str());
        return {};
    }
    return {};
}

}  // namespace

std::string FontFileNameOf(const std::string& faceUtf8) {
    std::string name;
    for (char c : faceUtf8) {
        unsigned char u = static_cast<unsigned char>(c);
        name += u < 0x20 || u == 0x7F || c == '/' || c == '\\' ? '_' : c;
    }
    if (name.size() > maxFileNameBytes) {
        std::size_t cut = maxFileNameBytes;
        // Never cut a UTF-8 character in two.
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name.resize(cut);
    }
    if (name.empty() || name == "." || name == "..") name = "_";
    return name;
}

std::string FontTempBase() {
    const char* temp = std::getenv("TMPDIR");
    std::string base = temp && temp[0] == '/' ? temp : "/tmp";
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base == "/" ? std::string() : base;
}

bool CKXTTFManager::Load(const std::string& dataFilePath, const std::string& password, const CodePage& codePage,
                         CKXDialogs& dialogs) {
    fonts.clear();
    registrationIds.clear();
    ArchiveEntryResult entry = ReadArchiveEntry(dataFilePath, fontEntryName, password.c_str());
    if (entry.status == ArchiveEntryStatus::NoDirectory || entry.status == ArchiveEntryStatus::NoEntry) return true;
    if (entry.status != ArchiveEntryStatus::Ok) {
        dialogs.MessageBox("Failed to extract font data to memory.", "", MB_OK);
        return false;
    }
    try {
        for (const auto& record : ReadFontEntry(entry.bytes, codePage)) {
            if (auto font = std::dynamic_pointer_cast<CKXTTFInfo>(record)) fonts.push_back(std::move(font));
        }
    } catch (const CKXArchiveError&) {
        fonts.clear();
        return false;
    }
    registrationIds.assign(fonts.size(), -1);
    return true;
}

bool CKXTTFManager::CreateFontFolder() {
    std::string base = FontTempBase();
    std::error_code ignored;
    if (!base.empty()) std::filesystem::create_directories(base, ignored);
    for (int n = 1; n <= maxFolderNumber; ++n) {
        std::string candidate = base + "/_kx_tmpfnt_" + std::to_string(n);
        if (mkdir(candidate.c_str(), 0700) == 0) {
            fontFolder = candidate;
            return true;
        }
        // Only a name already taken moves on to the next number; a folder that cannot be
        // written to would refuse every one of them.
        if (errno != EEXIST) return false;
    }
    return false;
}

void CKXTTFManager::Install(CKXFontRegistration& registration, const CodePage& codePage) {
    if (fonts.empty()) return;
    if (!CreateFontFolder()) {
        for (const auto& font : fonts) Report(codePage.ToUtf8(font->faceName), "failed", "no temporary folder");
        return;
    }
    // A list may name one record several times (the stream's back-references): it is one font,
    // installed once and so removed once.
    std::set<const CKXTTFInfo*> seen;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        CKXTTFInfo& font = *fonts[i];
        if (!seen.insert(&font).second) continue;
        std::string face = codePage.ToUtf8(font.faceName);
        if (registration.HasScalableFace(face, font.charSet)) {
            Report(face, "present");
            continue;
        }
        std::string base = fontFolder + "/" + FontFileNameOf(face);
        std::string file = CreateFontFile(base, font.fontData);
        if (file.empty()) {
            Report(face, "failed", "the font file cannot be written");
            continue;
        }
        // Qt reads the written file itself: there is no separate resource file to make for it.
        int id = registration.AddFontFile(file);
        if (id < 0) {
            unlink(file.c_str());
            Report(face, "failed", "not a font the system can use");
            continue;
        }
        font.installedBase = file.substr(0, file.size() - 4);
        registrationIds[i] = id;
        Report(face, "installed", file);
    }
}

void CKXTTFManager::Remove(CKXFontRegistration& registration) {
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        CKXTTFInfo& font = *fonts[i];
        if (font.installedBase.empty()) continue;
        if (registration.RemoveFontFile(registrationIds[i])) {
            unlink((font.installedBase + ".TFT").c_str());
            font.installedBase.clear();
            registrationIds[i] = -1;
        }
    }
    // rmdir removes only an empty folder: a font that could not be taken away keeps its file.
    if (!fontFolder.empty()) rmdir(fontFolder.c_str());
    fontFolder.clear();
}

void CKXTTFManager::Report(const std::string& face, const char* action, const std::string& detail) const {
    if (onFont) onFont({face, action, detail});
}

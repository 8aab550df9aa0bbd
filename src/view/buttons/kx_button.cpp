#include "view/buttons/kx_button.h"

#include <cstring>
#include <limits>
#include <new>
#include <string_view>

#include "platform/ascii_case.h"
#include "platform/host_path.h"
#include "project/unzip_to_memory.h"
#include "project/zip_dir.h"
#include "view/buttons/markup.h"

namespace {

constexpr const char* manifestName = "_manifest.xml";
// A manifest is a few hundred bytes of XML and a state picture a few kilobytes; these bounds
// keep a hostile button file from claiming more than a real one ever needs. The pictures'
// pixels are bounded by the run's decoded-pixel budget besides.
constexpr std::uint64_t maxManifestBytes = std::uint64_t{1} << 20;
constexpr std::uint64_t maxPictureFileBytes = std::uint64_t{64} << 20;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Leading blanks, an optional sign, then digits up to the first other character; no digits
// is 0. Values beyond 32 bits are clamped rather than wrapped.
std::int64_t ParseNumber(std::string_view text, int base) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (base == 16 && i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        i + 2 < text.size() && HexDigit(text[i + 2]) >= 0) {
        i += 2;
    }
    constexpr std::int64_t limit = std::int64_t{1} << 32;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = base == 16 ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0) break;
        value = value * base + digit;
        if (value > limit) value = limit;
    }
    return negative ? -value : value;
}

std::int32_t ParseInt(std::string_view text) {
    const std::int64_t value = ParseNumber(text, 10);
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

// RRGGBB as written by designers, kept the way colours are kept everywhere: red in the low byte.
std::uint32_t ParseFontColor(std::string_view text) {
    const auto rgb = static_cast<std::uint32_t>(ParseNumber(text, 16));
    const std::uint32_t red = (rgb >> 16) & 0xFF;
    const std::uint32_t green = (rgb >> 8) & 0xFF;
    const std::uint32_t blue = rgb & 0xFF;
    return red | (green << 8) | (blue << 16);
}

// Looks a child of the current element up from the first child.
bool FindChild(CMarkup& xml, const char* name) {
    xml.ResetChildPosition();
    return xml.FindChildElement(name);
}

void ReadText(CMarkup& xml, const char* name, std::string& out) {
    if (FindChild(xml, name)) out = xml.GetChildText();
}

void ReadInt(CMarkup& xml, const char* name, std::int32_t& out) {
    if (FindChild(xml, name)) out = ParseInt(xml.GetChildText());
}

// The bytes of a listed entry, or false. Declared sizes the stored bytes cannot back are
// refused before anything is allocated: button files come from discs and may be hostile.
bool ExtractListed(const std::string& archivePath, const CKXZipEntryInfo& entry, std::vector<std::uint8_t>& bytes,
                   std::uint64_t maxBytes) {
    if (entry.uncompressedSize > maxBytes || !EntrySizesPossible(archivePath, entry)) return false;
    try {
        bytes.assign(entry.uncompressedSize, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (CKXUnzipToMemory::ExtractEntry(archivePath, entry.name, bytes.data(), bytes.size(), nullptr) != 0) {
        bytes.clear();
        return false;
    }
    return true;
}

const char* const groupNames[] = {"Up", "Down"};
const char* const stateNames[] = {"Normal", "Highlight", "Disabled"};

}  // namespace

void CKXButton::Clear() {
    type = 0;
    info = Info{};
    hitThreshold = kDefaultHitThreshold;
    captionText.clear();
    font = Font{};
    centerX = 50;
    centerY = 50;
    states.fill(StateSettings{});
    filePath.clear();
    loaded = false;
    statePictures.fill(nullptr);
    for (CISImageEx& scaled : scaledPictures) scaled.Free();
    pictureCache.clear();
}

bool CKXButton::LoadButtonFile(const std::string& hostPath) {
    Clear();
    if (!HostPathExists(hostPath)) return false;

    filePath = hostPath;
    CKXZipDir directory;
    if (directory.ReadDirectory(hostPath, "*.*", 1) != 0 && directory.ReadDirectory(hostPath, "*.*", 1) != 0) {
        return false;
    }

    std::string text;
    if (const CKXZipEntryInfo* entry = directory.FindEntry(manifestName)) {
        std::vector<std::uint8_t> bytes;
        if (ExtractListed(hostPath, *entry, bytes, maxManifestBytes) && !bytes.empty()) {
            const char* begin = reinterpret_cast<const char*>(bytes.data());
            text.assign(begin, strnlen(begin, bytes.size()));
        }
    }
    if (!ReadManifest(text)) return false;

    LoadStatePictures(directory);
    loaded = true;
    return true;
}

bool CKXButton::ReadManifest(const std::string& text) {
    CMarkup xml;
    if (!xml.Parse(text)) return false;
    if (!xml.FindElement("KX_Button")) return false;

    FindChild(xml, "Version");
    ReadInt(xml, "Type", type);
    // Info is searched on from Type, not from the first child: a manifest with Info before
    // Type has its Info ignored.
    if (xml.FindChildElement("Info")) {
        xml.IntoElement();
        ReadText(xml, "Name", info.name);
        ReadText(xml, "Desc", info.description);
        ReadText(xml, "Author", info.author);
        ReadText(xml, "Copyright", info.copyright);
        ReadText(xml, "URL", info.url);
        ReadText(xml, "Email", info.email);
        ReadText(xml, "Other", info.other);
        xml.OutOfElement();
    }
    ReadInt(xml, "HitThreshold", hitThreshold);
    if (FindChild(xml, "Caption")) {
        xml.IntoElement();
        ReadText(xml, "Text", captionText);
        if (FindChild(xml, "Font")) {
            xml.IntoElement();
            ReadText(xml, "Face", font.face);
            ReadInt(xml, "CharSet", font.charSet);
            ReadInt(xml, "Size", font.size);
            ReadInt(xml, "Bold", font.bold);
            ReadInt(xml, "Italic", font.italic);
            ReadInt(xml, "Underline", font.underline);
            ReadInt(xml, "Strikeout", font.strikeout);
            xml.OutOfElement();
        }
        ReadInt(xml, "CenterX", centerX);
        ReadInt(xml, "CenterY", centerY);
        xml.OutOfElement();
    }

    bool failed = false;
    for (int group = 0; group < 2 && !failed; ++group) {
        if (!FindChild(xml, groupNames[group])) {
            failed = true;
            break;
        }
        xml.IntoElement();
        // A missing state still lets the others of the group be read.
        for (int i = 0; i < 3; ++i) ReadState(xml, stateNames[i], group * 3 + i, failed);
        xml.OutOfElement();
    }
    return !failed;
}

void CKXButton::ReadState(CMarkup& xml, const char* name, int state, bool& failed) {
    if (!FindChild(xml, name)) {
        failed = true;
        return;
    }
    xml.IntoElement();
    StateSettings& settings = states[static_cast<std::size_t>(state)];
    if (FindChild(xml, "Image")) {
        settings.pictureName = xml.GetChildText();
    } else {
        failed = true;
    }
    if (FindChild(xml, "FontColor")) settings.fontColor = ParseFontColor(xml.GetChildText());
    ReadInt(xml, "DeltaX", settings.deltaX);
    ReadInt(xml, "DeltaY", settings.deltaY);
    xml.OutOfElement();
}

void CKXButton::LoadStatePictures(const CKXZipDir& directory) {
    for (int state = 0; state < kStateCount; ++state) {
        const auto index = static_cast<std::size_t>(state);
        statePictures[index] = LoadPicture(directory, states[index].pictureName);
    }
}

const CISImageEx* CKXButton::LoadPicture(const CKXZipDir& directory, const std::string& name) {
    for (const CachedPicture& cached : pictureCache) {
        if (EqualsIgnoringAsciiCase(cached.name, name)) return cached.picture.get();
    }
    const CKXZipEntryInfo* entry = directory.FindEntry(name);
    if (entry == nullptr) return nullptr;
    std::vector<std::uint8_t> bytes;
    if (!ExtractListed(filePath, *entry, bytes, maxPictureFileBytes)) return nullptr;
    auto picture = std::make_unique<CISImageEx>();
    if (picture->LoadMemory(bytes.data(), bytes.size(), true, CISImageEx::kUnknown, 0) != 0) {
        return nullptr;
    }
    pictureCache.push_back(CachedPicture{name, std::move(picture)});
    return pictureCache.back().picture.get();
}

const CKXButton::StateSettings& CKXButton::Settings(int state) const {
    static const StateSettings defaults;
    if (state < 0 || state >= kStateCount) return defaults;
    return states[static_cast<std::size_t>(state)];
}

const CISImageEx* CKXButton::StatePicture(int state) const {
    if (state < 0 || state >= kStateCount) return nullptr;
    return statePictures[static_cast<std::size_t>(state)];
}

const CISImageEx* CKXButton::GetStatePicture(int state, int width, int height) {
    const CISImageEx* picture = StatePicture(state);
    if (picture == nullptr) return nullptr;
    if (width == -1 || height == -1) return picture;
    if (static_cast<std::int64_t>(picture->Width()) == width &&
        static_cast<std::int64_t>(picture->Height()) == height) {
        return picture;
    }
    CISImageEx& scaled = scaledPictures[static_cast<std::size_t>(state)];
    if (!scaled.IsEmpty() && static_cast<std::int64_t>(scaled.Width()) == width &&
        static_cast<std::int64_t>(scaled.Height()) == height) {
        return &scaled;
    }
    // Other negative or zero sizes cannot be scaled to; they end like any failing scale.
    if (width <= 0 || height <= 0 || scaled.CopyFrom(*picture) != CISImageEx::kOk ||
        scaled.Resize(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)) != CISImageEx::kOk) {
        scaled.Free();
        return picture;
    }
    return &scaled;
}

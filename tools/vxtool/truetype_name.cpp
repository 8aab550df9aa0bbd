#include "truetype_name.h"

#include "platform/code_page.h"

namespace {

std::uint32_t Be(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = (value << 8) | b[at + i];
    return value;
}

}  // namespace

bool ReadTrueTypeFamilyName(const std::vector<std::uint8_t>& font, std::string& familyName) {
    auto fits = [&](std::size_t at, std::size_t length) { return at <= font.size() && length <= font.size() - at; };
    if (!fits(0, 12)) return false;
    std::uint32_t tables = Be(font, 4, 2);
    if (!fits(12, tables * 16)) return false;
    std::size_t nameTable = 0, nameLength = 0;
    for (std::uint32_t i = 0; i < tables; ++i) {
        std::size_t entry = 12 + i * 16;
        if (Be(font, entry, 4) == 0x6E616D65) {  // "name"
            nameTable = Be(font, entry + 8, 4);
            nameLength = Be(font, entry + 12, 4);
        }
    }
    if (nameLength < 6 || !fits(nameTable, nameLength)) return false;
    std::uint32_t count = Be(font, nameTable + 2, 2);
    std::size_t strings = nameTable + Be(font, nameTable + 4, 2);
    if (!fits(nameTable + 6, count * 12)) return false;
    std::string macName;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::size_t record = nameTable + 6 + i * 12;
        std::uint32_t platform = Be(font, record, 2), nameId = Be(font, record + 6, 2);
        std::size_t length = Be(font, record + 8, 2), offset = strings + Be(font, record + 10, 2);
        if (nameId != 1 || !fits(offset, length)) continue;
        if (platform == 3 || platform == 0) {
            std::string name;
            for (std::size_t j = 0; j + 1 < length; j += 2) {
                char32_t unit = Be(font, offset + j, 2);
                if (unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD;
                AppendUtf8(name, unit);
            }
            if (!name.empty()) {
                familyName = name;
                return true;
            }
        } else if (platform == 1 && macName.empty()) {
            for (std::size_t j = 0; j < length; ++j) AppendUtf8(macName, font[offset + j]);
        }
    }
    familyName = macName;
    return !macName.empty();
}

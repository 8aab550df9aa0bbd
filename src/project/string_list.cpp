#include "project/string_list.h"

namespace {

// Reads the length at position and moves position past it.
std::size_t ReadLength(const std::string& bytes, std::size_t& position) {
    std::size_t length = 0;
    int shift = 0;
    for (;;) {
        auto byte = static_cast<std::uint8_t>(bytes[position++]);
        length |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80)) return length;
        shift += 7;
    }
}

}  // namespace

CKXStringList::const_iterator::const_iterator(const std::string* bytes, std::size_t position)
    : bytes(bytes), next(position), atEnd(false) {
    ++*this;
}

CKXStringList::const_iterator& CKXStringList::const_iterator::operator++() {
    if (!bytes || next >= bytes->size()) {
        *this = const_iterator();
        return *this;
    }
    std::size_t position = next;
    std::size_t length = ReadLength(*bytes, position);
    current = std::string_view(*bytes).substr(position, length);
    next = position + length;
    return *this;
}

CKXStringList::CKXStringList(std::initializer_list<std::string_view> items) {
    for (std::string_view item : items) push_back(item);
}

CKXStringList::CKXStringList(const std::vector<std::string>& items) {
    for (const std::string& item : items) push_back(item);
}

void CKXStringList::clear() {
    bytes.clear();
    marks.clear();
    count = 0;
}

void CKXStringList::reserve(std::size_t byteCount) {
    bytes.reserve(byteCount);
}

void CKXStringList::push_back(std::string_view text) {
    if (count % markEvery == 0) marks.push_back(bytes.size());
    std::size_t length = text.size();
    do {
        auto byte = static_cast<char>(length & 0x7F);
        length >>= 7;
        if (length) byte = static_cast<char>(byte | 0x80);
        bytes.push_back(byte);
    } while (length);
    bytes.append(text);
    ++count;
}

std::string_view CKXStringList::operator[](std::size_t index) const {
    std::size_t position = marks[index / markEvery];
    for (std::size_t skip = index % markEvery; skip > 0; --skip) position += ReadLength(bytes, position);
    std::size_t length = ReadLength(bytes, position);
    return std::string_view(bytes).substr(position, length);
}

std::vector<std::string> CKXStringList::ToVector() const {
    std::vector<std::string> items;
    items.reserve(count);
    for (std::string_view item : *this) items.emplace_back(item);
    return items;
}

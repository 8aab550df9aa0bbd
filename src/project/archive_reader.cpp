#include "project/archive_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/code_page.h"

namespace {

constexpr std::uint16_t nullTag = 0x0000;
constexpr std::uint16_t newClassTag = 0xFFFF;
constexpr std::uint16_t bigObjectTag = 0x7FFF;
constexpr std::uint16_t classTag = 0x8000;
constexpr std::uint32_t bigClassTag = 0x80000000;
constexpr std::size_t maxClassNameLength = 63;

}  // namespace

CKXArchiveReader::CKXArchiveReader(const std::uint8_t* data, std::size_t size, const CodePage& codePage)
    : data(data), size(size), codePage(codePage) {}

void CKXArchiveReader::Fail(ArchiveErrorKind kind, const std::string& detail) const {
    throw CKXArchiveError(kind, offset, detail);
}

void CKXArchiveReader::Need(std::size_t count) const {
    if (count > size - offset) Fail(ArchiveErrorKind::EndOfData);
}

std::uint8_t CKXArchiveReader::ReadByte() {
    Need(1);
    return data[offset++];
}

std::uint16_t CKXArchiveReader::ReadWord() {
    Need(2);
    std::uint16_t value = static_cast<std::uint16_t>(data[offset] | (data[offset + 1] << 8));
    offset += 2;
    return value;
}

std::uint32_t CKXArchiveReader::ReadDword() {
    Need(4);
    std::uint32_t value;
    std::memcpy(&value, data + offset, 4);
    if constexpr (std::endian::native == std::endian::big) value = __builtin_bswap32(value);
    offset += 4;
    return value;
}

std::int32_t CKXArchiveReader::ReadInt() {
    return static_cast<std::int32_t>(ReadDword());
}

std::int32_t CKXArchiveReader::ReadTime() {
    return ReadInt();
}

VxRect CKXArchiveReader::ReadRect() {
    Need(16);  // one 16-byte block: a rectangle is never half read
    VxRect rect;
    rect.left = ReadInt();
    rect.top = ReadInt();
    rect.right = ReadInt();
    rect.bottom = ReadInt();
    return rect;
}

std::uint32_t CKXArchiveReader::ReadCount() {
    std::uint16_t word = ReadWord();
    return word == 0xFFFF ? ReadDword() : word;
}

std::uint32_t CKXArchiveReader::ReadStringLength() {
    std::uint8_t byte = ReadByte();
    if (byte < 0xFF) return byte;
    std::uint16_t word = ReadWord();
    if (word == 0xFFFF) return ReadDword();
    return word;
}

std::string CKXArchiveReader::ReadString() {
    std::uint32_t length;
    std::uint8_t byte = ReadByte();
    if (byte < 0xFF) {
        length = byte;
    } else {
        std::uint16_t word = ReadWord();
        if (word == 0xFFFE) {
            // A wide string: its length follows again, counted in UTF-16 units.
            std::uint32_t units = ReadStringLength();
            Need(static_cast<std::size_t>(units) * 2);
            std::u16string text(units, u'\0');
            for (std::uint32_t i = 0; i < units; ++i) {
                text[i] = static_cast<char16_t>(data[offset] | (data[offset + 1] << 8));
                offset += 2;
            }
            return codePage.FromUtf16(text);
        }
        length = word == 0xFFFF ? ReadDword() : word;
    }
    Need(length);
    std::string text(reinterpret_cast<const char*>(data + offset), length);
    offset += length;
    return text;
}

std::vector<std::uint8_t> CKXArchiveReader::ReadBytes(std::size_t count) {
    Need(count);
    std::vector<std::uint8_t> bytes(data + offset, data + offset + count);
    offset += count;
    return bytes;
}

std::uint32_t CKXArchiveReader::NextIndex() {
    if (indices.size() > maxIndex) Fail(ArchiveErrorKind::BadIndex, "too many records");
    indices.emplace_back();
    return static_cast<std::uint32_t>(indices.size() - 1);
}

const CKXClassInfo* CKXArchiveReader::ReadClassDefinition() {
    std::uint16_t schema = ReadWord();
    std::uint16_t length = ReadWord();
    if (length > maxClassNameLength) Fail(ArchiveErrorKind::BadClass, "class name too long");
    Need(length);
    std::string name(reinterpret_cast<const char*>(data + offset), length);
    const CKXClassInfo* classInfo = FindRegisteredClass(name);
    if (!classInfo) Fail(ArchiveErrorKind::BadClass, "unknown class \"" + name + "\"");
    if (classInfo->schema == 0xFFFF && schema != 0xFFFF) Fail(ArchiveErrorKind::BadSchema, name);
    offset += length;
    indices[NextIndex()].classInfo = classInfo;
    return classInfo;
}

const CKXClassInfo& CKXArchiveReader::ClassAt(std::uint32_t index) {
    if (index == 0 || index >= indices.size() || !indices[index].classInfo) {
        Fail(ArchiveErrorKind::BadIndex, "no class " + std::to_string(index));
    }
    return *indices[index].classInfo;
}

RecordRef CKXArchiveReader::ObjectAt(std::uint32_t index) {
    if (index >= indices.size() || !indices[index].object) {
        Fail(ArchiveErrorKind::BadIndex, "no object " + std::to_string(index));
    }
    // A record still being read would come to contain itself.
    if (!indices[index].complete) {
        Fail(ArchiveErrorKind::BadIndex, "object " + std::to_string(index) + " is unfinished");
    }
    return indices[index].object;
}

RecordRef CKXArchiveReader::ReadNewObject(const CKXClassInfo& classInfo) {
    if (nesting >= maxNesting) Fail(ArchiveErrorKind::NestingTooDeep);
    RecordRef object = classInfo.create();
    std::uint32_t index = NextIndex();
    indices[index].object = object;
    ++nesting;
    object->ReadBody(*this);
    --nesting;
    indices[index].complete = true;
    return object;
}

RecordRef CKXArchiveReader::ReadObject() {
    std::uint16_t tag = ReadWord();
    if (tag == nullTag) return nullptr;
    if (tag == newClassTag) return ReadNewObject(*ReadClassDefinition());
    if (tag == bigObjectTag) {
        std::uint32_t big = ReadDword();
        if (big & bigClassTag) return ReadNewObject(ClassAt(big & ~bigClassTag));
        return ObjectAt(big);
    }
    if (tag & classTag) return ReadNewObject(ClassAt(tag & ~classTag));
    return ObjectAt(tag);
}

void CKXArchiveReader::ReadObjectList(ObjectList& list) {
    std::uint32_t count = ReadCount();
    // Every entry takes at least a two-byte tag, which bounds what the stream can back.
    if (count > Remaining() / 2) Fail(ArchiveErrorKind::EndOfData, "a list of " + std::to_string(count) + " records");
    list.reserve(list.size() + count);
    for (std::uint32_t i = 0; i < count; ++i) list.push_back(ReadObject());
}

void CKXArchiveReader::ReadStringList(CKXStringList& list) {
    std::uint32_t count = ReadCount();
    // Every entry takes at least its length byte.
    if (count > Remaining()) Fail(ArchiveErrorKind::EndOfData, "a list of " + std::to_string(count) + " strings");
    list.reserve(list.ByteSize() + count);
    for (std::uint32_t i = 0; i < count; ++i) list.push_back(ReadString());
}

void CKXReadVisitor::StringList(const char*, CKXStringList& value) {
    value.clear();
    reader.ReadStringList(value);
}

void CKXReadVisitor::Objects(const char*, ObjectList& value, const char*) {
    // Every record that owns a list empties it before reading.
    value.clear();
    reader.ReadObjectList(value);
}

void CKXReadVisitor::ByteArray(const char*, std::vector<std::uint8_t>& value) {
    value = reader.ReadBytes(reader.ReadCount());
}

void CKXReadVisitor::MemberList(const char*, std::size_t, const std::function<void()>& clear,
                                const std::function<CKXSerializable&()>& append,
                                const std::function<CKXSerializable&(std::size_t)>&) {
    clear();
    // A negative count reads no records. Records are added one by one as they are read, so a
    // count the stream cannot back ends at the end of the data, not in a huge allocation.
    std::int32_t count = reader.ReadInt();
    for (std::int32_t i = 0; i < count; ++i) append().ReadBody(reader);
}

void CKXFieldVisitor::Member(const char* key, CKXSerializable& record) {
    Nested(key, [&] { record.Serialize(*this); });
}

void CKXSerializable::ReadBody(CKXArchiveReader& reader) {
    CKXReadVisitor visitor(reader);
    Serialize(visitor);
}

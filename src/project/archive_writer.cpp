#include "project/archive_writer.h"

#include <stdexcept>

namespace {

constexpr std::uint16_t newClassTag = 0xFFFF;
constexpr std::uint16_t bigObjectTag = 0x7FFF;
constexpr std::uint16_t classTag = 0x8000;
constexpr std::uint32_t bigClassTag = 0x80000000;

}  // namespace

void CKXArchiveWriter::WriteByte(std::uint8_t value) {
    bytes.push_back(value);
}

void CKXArchiveWriter::WriteWord(std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void CKXArchiveWriter::WriteDword(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

void CKXArchiveWriter::WriteInt(std::int32_t value) {
    WriteDword(static_cast<std::uint32_t>(value));
}

void CKXArchiveWriter::WriteTime(std::int32_t value) {
    WriteInt(value);
}

void CKXArchiveWriter::WriteRect(const VxRect& value) {
    WriteInt(value.left);
    WriteInt(value.top);
    WriteInt(value.right);
    WriteInt(value.bottom);
}

void CKXArchiveWriter::WriteString(const std::string& value) {
    std::size_t length = value.size();
    if (length < 0xFF) {
        WriteByte(static_cast<std::uint8_t>(length));
    } else {
        WriteByte(0xFF);
        if (length < 0xFFFE) {
            WriteWord(static_cast<std::uint16_t>(length));
        } else {
            WriteWord(0xFFFF);
            WriteDword(static_cast<std::uint32_t>(length));
        }
    }
    bytes.insert(bytes.end(), value.begin(), value.end());
}

void CKXArchiveWriter::WriteCount(std::uint32_t count) {
    if (count < 0xFFFF) {
        WriteWord(static_cast<std::uint16_t>(count));
    } else {
        WriteWord(0xFFFF);
        WriteDword(count);
    }
}

void CKXArchiveWriter::WriteBytes(const std::vector<std::uint8_t>& data) {
    bytes.insert(bytes.end(), data.begin(), data.end());
}

void CKXArchiveWriter::WriteIndexTag(std::uint32_t index, bool isClass) {
    if (index < bigObjectTag) {
        WriteWord(static_cast<std::uint16_t>(isClass ? (classTag | index) : index));
    } else {
        WriteWord(bigObjectTag);
        WriteDword(isClass ? (bigClassTag | index) : index);
    }
}

void CKXArchiveWriter::WriteObject(const RecordRef& record) {
    if (!record) {
        WriteWord(0);
        return;
    }
    if (auto known = objectIndices.find(record.get()); known != objectIndices.end()) {
        WriteIndexTag(known->second, false);
        return;
    }
    const CKXClassInfo& classInfo = RegisteredClassOf(*record);
    if (auto known = classIndices.find(&classInfo); known != classIndices.end()) {
        WriteIndexTag(known->second, true);
    } else {
        std::string name = classInfo.name;
        WriteWord(newClassTag);
        WriteWord(classInfo.schema);
        WriteWord(static_cast<std::uint16_t>(name.size()));
        bytes.insert(bytes.end(), name.begin(), name.end());
        classIndices[&classInfo] = nextIndex++;
    }
    objectIndices[record.get()] = nextIndex++;
    record->WriteBody(*this);
}

void CKXArchiveWriter::WriteObjectList(const ObjectList& list) {
    WriteCount(static_cast<std::uint32_t>(list.size()));
    for (const RecordRef& record : list) WriteObject(record);
}

void CKXArchiveWriter::WriteStringList(const CKXStringList& list) {
    WriteCount(static_cast<std::uint32_t>(list.size()));
    for (std::string_view text : list) WriteString(std::string(text));
}

void CKXSerializable::WriteBody(CKXArchiveWriter& writer) {
    CKXWriteVisitor visitor(writer);
    Serialize(visitor);
}

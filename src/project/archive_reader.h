#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "project/archive_error.h"
#include "project/serializable.h"

class CodePage;

// Reads a serialized stream from a memory buffer, strictly in order. Every read either yields
// its value and advances or raises CKXArchiveError; nothing is allocated for a count or length
// before the bytes that back it are known to exist.
class CKXArchiveReader {
public:
    // Deeper nesting of records than real projects ever use is refused rather than recursed.
    static constexpr int maxNesting = 64;
    // The highest index the shared class and object counter may hand out.
    static constexpr std::uint32_t maxIndex = 0x3FFFFFFE;

    CKXArchiveReader(const std::uint8_t* data, std::size_t size, const CodePage& codePage);

    std::uint8_t ReadByte();
    std::uint16_t ReadWord();
    std::int32_t ReadInt();
    std::uint32_t ReadDword();
    VxRect ReadRect();
    std::int32_t ReadTime();
    std::string ReadString();
    std::uint32_t ReadCount();
    std::vector<std::uint8_t> ReadBytes(std::size_t count);
    RecordRef ReadObject();
    void ReadObjectList(ObjectList& list);
    void ReadStringList(CKXStringList& list);

    std::size_t Offset() const { return offset; }
    std::size_t Remaining() const { return size - offset; }

    // Pages normally drop the object kinds the player does not show; tools that describe a
    // file as it is keep them.
    bool keepDiscardedObjects = false;

private:
    struct IndexEntry {
        const CKXClassInfo* classInfo = nullptr;  // set for a class definition
        RecordRef object;                         // set for an object
        bool complete = false;                    // the object's body has been read
    };

    void Need(std::size_t count) const;
    [[noreturn]] void Fail(ArchiveErrorKind kind, const std::string& detail = {}) const;
    std::uint32_t ReadStringLength();
    std::uint32_t NextIndex();
    const CKXClassInfo* ReadClassDefinition();
    const CKXClassInfo& ClassAt(std::uint32_t index);
    RecordRef ObjectAt(std::uint32_t index);
    RecordRef ReadNewObject(const CKXClassInfo& classInfo);

    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset = 0;
    const CodePage& codePage;
    std::vector<IndexEntry> indices{1};  // index 0 is the null reference
    int nesting = 0;
};

// Reads fields from a stream through the record descriptions.
class CKXReadVisitor : public CKXFieldVisitor {
public:
    explicit CKXReadVisitor(CKXArchiveReader& reader) : reader(reader) {}
    void Byte(const char*, std::uint8_t& value) override { value = reader.ReadByte(); }
    void Int(const char*, std::int32_t& value) override { value = reader.ReadInt(); }
    void Dword(const char*, std::uint32_t& value) override { value = reader.ReadDword(); }
    void Rect(const char*, VxRect& value) override { value = reader.ReadRect(); }
    void Time(const char*, std::int32_t& value) override { value = reader.ReadTime(); }
    void String(const char*, std::string& value) override { value = reader.ReadString(); }
    void StringList(const char*, CKXStringList& value) override;
    void Objects(const char*, ObjectList& value, const char*) override;
    void ByteArray(const char*, std::vector<std::uint8_t>& value) override;
    void Nested(const char*, const std::function<void()>& fields) override { fields(); }
    void Member(const char*, CKXSerializable& record) override { record.ReadBody(reader); }
    void MemberList(const char*, std::size_t, const std::function<void()>& clear,
                    const std::function<CKXSerializable&()>& append,
                    const std::function<CKXSerializable&(std::size_t)>&) override;

private:
    CKXArchiveReader& reader;
};

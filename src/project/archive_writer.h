#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "project/serializable.h"

// Writes a serialized stream, the mirror of CKXArchiveReader: shortest string forms, long counts
// where needed, each class defined once and each record written once, later uses by index,
// numbered exactly as the reader numbers them.
class CKXArchiveWriter {
public:
    void WriteByte(std::uint8_t value);
    void WriteWord(std::uint16_t value);
    void WriteInt(std::int32_t value);
    void WriteDword(std::uint32_t value);
    void WriteRect(const VxRect& value);
    void WriteTime(std::int32_t value);
    void WriteString(const std::string& value);
    void WriteCount(std::uint32_t count);
    void WriteBytes(const std::vector<std::uint8_t>& bytes);
    void WriteObject(const RecordRef& record);
    void WriteObjectList(const ObjectList& list);
    void WriteStringList(const CKXStringList& list);

    const std::vector<std::uint8_t>& Bytes() const { return bytes; }
    std::vector<std::uint8_t> TakeBytes() { return std::move(bytes); }

private:
    void WriteIndexTag(std::uint32_t index, bool isClass);

    std::vector<std::uint8_t> bytes;
    std::uint32_t nextIndex = 1;
    std::unordered_map<const CKXClassInfo*, std::uint32_t> classIndices;
    std::unordered_map<const CKXSerializable*, std::uint32_t> objectIndices;
};

// Writes fields to a stream through the record descriptions.
class CKXWriteVisitor : public CKXFieldVisitor {
public:
    explicit CKXWriteVisitor(CKXArchiveWriter& writer) : writer(writer) {}
    void Byte(const char*, std::uint8_t& value) override { writer.WriteByte(value); }
    void Int(const char*, std::int32_t& value) override { writer.WriteInt(value); }
    void Dword(const char*, std::uint32_t& value) override { writer.WriteDword(value); }
    void Rect(const char*, VxRect& value) override { writer.WriteRect(value); }
    void Time(const char*, std::int32_t& value) override { writer.WriteTime(value); }
    void String(const char*, std::string& value) override { writer.WriteString(value); }
    void StringList(const char*, CKXStringList& value) override { writer.WriteStringList(value); }
    void Objects(const char*, ObjectList& value, const char*) override { writer.WriteObjectList(value); }
    void ByteArray(const char*, std::vector<std::uint8_t>& value) override {
        writer.WriteCount(static_cast<std::uint32_t>(value.size()));
        writer.WriteBytes(value);
    }
    void Nested(const char*, const std::function<void()>& fields) override { fields(); }
    void MemberList(const char*, std::size_t size, const std::function<void()>&,
                    const std::function<CKXSerializable&()>&,
                    const std::function<CKXSerializable&(std::size_t)>& at) override {
        writer.WriteInt(static_cast<std::int32_t>(size));
        for (std::size_t i = 0; i < size; ++i) at(i).WriteBody(writer);
    }

private:
    CKXArchiveWriter& writer;
};

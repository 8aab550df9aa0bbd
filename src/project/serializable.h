#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "project/string_list.h"

class CKXArchiveReader;
class CKXArchiveWriter;
class CKXSerializable;

// A rectangle as records store it: left, top, right, bottom.
struct VxRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const VxRect&) const = default;
};

// Records reached through object lists. A stream may refer to one record from several places,
// so list entries share their record; a null entry is an empty pointer.
using RecordRef = std::shared_ptr<CKXSerializable>;
using ObjectList = std::vector<RecordRef>;

// Walks a record's fields in stream order. Reading, writing and the JSON forms of a record are
// all visitors over the same one description, so they cannot drift apart. Keys name the field.
class CKXFieldVisitor {
public:
    virtual ~CKXFieldVisitor() = default;
    virtual void Byte(const char* key, std::uint8_t& value) = 0;
    virtual void Int(const char* key, std::int32_t& value) = 0;
    virtual void Dword(const char* key, std::uint32_t& value) = 0;
    virtual void Rect(const char* key, VxRect& value) = 0;
    virtual void Time(const char* key, std::int32_t& value) = 0;
    virtual void String(const char* key, std::string& value) = 0;
    virtual void StringList(const char* key, CKXStringList& value) = 0;
    // defaultClass names the class an entry has when a description leaves it out.
    virtual void Objects(const char* key, ObjectList& value, const char* defaultClass) = 0;
    // A count, then that many raw bytes.
    virtual void ByteArray(const char* key, std::vector<std::uint8_t>& value) = 0;
    // A group of fields that the stream stores in place, such as a kind's own fields after the
    // common ones.
    virtual void Nested(const char* key, const std::function<void()>& fields) = 0;
    // A member record stored in place, without a tag.
    virtual void Member(const char* key, CKXSerializable& record);
    // An int count, then that many member records stored in place (the project's pages).
    // append adds a fresh record at the end and returns it; at gives an existing one.
    virtual void MemberList(const char* key, std::size_t size, const std::function<void()>& clear,
                            const std::function<CKXSerializable&()>& append,
                            const std::function<CKXSerializable&(std::size_t)>& at) = 0;
};

// What the player keeps for a record while it is shown (decoded pictures, windows); the record
// owns it and drops it when its page is left.
struct CKXRuntimeState {
    virtual ~CKXRuntimeState() = default;
};

// A record of a registered class.
class CKXSerializable {
public:
    virtual ~CKXSerializable() = default;
    virtual const char* ClassName() const = 0;
    // The record's fields in stream order.
    virtual void Serialize(CKXFieldVisitor& visitor) = 0;
    // Reads the body from a stream; records with extra reading rules add them here.
    virtual void ReadBody(CKXArchiveReader& reader);
    void WriteBody(CKXArchiveWriter& writer);
};

template <class T>
void VisitMemberList(CKXFieldVisitor& visitor, const char* key, std::vector<std::unique_ptr<T>>& list) {
    visitor.MemberList(
        key, list.size(), [&] { list.clear(); },
        [&]() -> CKXSerializable& { return *list.emplace_back(std::make_unique<T>()); },
        [&](std::size_t i) -> CKXSerializable& { return *list[i]; });
}

// The registered classes of the stream format.
struct CKXClassInfo {
    const char* name;
    std::uint16_t schema;  // 1 for every versionable class; 0xFFFF for the two that are not
    std::function<RecordRef()> create;
};

const CKXClassInfo* FindRegisteredClass(const std::string& name);
const CKXClassInfo& RegisteredClassOf(const CKXSerializable& record);

#pragma once

// Visitors that give every field of a record a distinct value and list every field's value, so
// tests can check that a record survives a trip through the stream whole.
#include <string>
#include <vector>

#include "project/serializable.h"

class FillVisitor : public CKXFieldVisitor {
public:
    int next = 7;
    void Byte(const char*, std::uint8_t& v) override { v = static_cast<std::uint8_t>(next++); }
    void Int(const char*, std::int32_t& v) override { v = -1000 * next++; }
    void Dword(const char*, std::uint32_t& v) override { v = 0x80000000u + next++; }
    void Rect(const char*, VxRect& v) override {
        v = {next, next + 1, next + 2, next + 3};
        next += 4;
    }
    void Time(const char*, std::int32_t& v) override { v = 1000000 + next++; }
    void String(const char* key, std::string& v) override {
        int n = next++;
        // Every third string is long enough for the word length form.
        v = std::string(key) + "-" + std::to_string(n) + (n % 3 == 0 ? std::string(300, 'x') : "");
    }
    void StringList(const char*, CKXStringList& v) override { v = {"one-" + std::to_string(next++), "", "three"}; }
    void Objects(const char*, ObjectList& v, const char* defaultClass) override;
    void ByteArray(const char*, std::vector<std::uint8_t>& v) override {
        v = {1, 2, 3, static_cast<std::uint8_t>(next++)};
    }
    void Nested(const char*, const std::function<void()>& fields) override { fields(); }
    void MemberList(const char*, std::size_t, const std::function<void()>& clear,
                    const std::function<CKXSerializable&()>& append,
                    const std::function<CKXSerializable&(std::size_t)>&) override {
        clear();
        append().Serialize(*this);
        append().Serialize(*this);
    }
};

class CollectVisitor : public CKXFieldVisitor {
public:
    std::vector<std::string> values;
    void Add(const char* key, const std::string& value) { values.push_back(std::string(key) + "=" + value); }
    void Byte(const char* key, std::uint8_t& v) override { Add(key, std::to_string(v)); }
    void Int(const char* key, std::int32_t& v) override { Add(key, std::to_string(v)); }
    void Dword(const char* key, std::uint32_t& v) override { Add(key, std::to_string(v)); }
    void Rect(const char* key, VxRect& v) override {
        Add(key, std::to_string(v.left) + "," + std::to_string(v.top) + "," + std::to_string(v.right) + "," +
                     std::to_string(v.bottom));
    }
    void Time(const char* key, std::int32_t& v) override { Add(key, std::to_string(v)); }
    void String(const char* key, std::string& v) override { Add(key, v); }
    void StringList(const char* key, CKXStringList& v) override {
        for (std::string_view s : v) Add(key, std::string(s));
    }
    void Objects(const char* key, ObjectList& v, const char*) override {
        Add(key, std::to_string(v.size()));
        for (auto& record : v) {
            if (!record) {
                Add(key, "null");
                continue;
            }
            Add("class", record->ClassName());
            record->Serialize(*this);
        }
    }
    void ByteArray(const char* key, std::vector<std::uint8_t>& v) override {
        Add(key, std::string(v.begin(), v.end()));
    }
    void Nested(const char* key, const std::function<void()>& fields) override {
        Add(key, "{");
        fields();
    }
    void MemberList(const char* key, std::size_t size, const std::function<void()>&,
                    const std::function<CKXSerializable&()>&,
                    const std::function<CKXSerializable&(std::size_t)>& at) override {
        Add(key, std::to_string(size));
        for (std::size_t i = 0; i < size; ++i) at(i).Serialize(*this);
    }
};

inline std::vector<std::string> FieldsOf(CKXSerializable& record) {
    CollectVisitor collect;
    record.Serialize(collect);
    return collect.values;
}

inline void FillVisitor::Objects(const char*, ObjectList& v, const char* defaultClass) {
    v.clear();
    if (!defaultClass) return;
    RecordRef record = FindRegisteredClass(defaultClass)->create();
    record->Serialize(*this);
    v.push_back(record);
    v.push_back(nullptr);
}

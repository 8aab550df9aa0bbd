#include "project_json.h"

#include <limits>
#include <ostream>
#include <set>
#include <sstream>
#include <string_view>

#include "platform/code_page.h"
#include "project/object_kinds.h"
#include "project/vantorix_project.h"

namespace {

// The class a page object description has when it names only its typeCode.
const char* ClassForTypeCode(std::int64_t typeCode) {
    const ObjectKindInfo* kind = FindObjectKind(typeCode);
    return kind ? kind->className : nullptr;
}

// Writes JSON text as it goes, laid out as nlohmann's dump(2) lays it out, so that a project of
// any size is described without its whole tree in memory.
class JsonStreamWriter {
public:
    explicit JsonStreamWriter(std::ostream& out) : out(out) {}

    void Key(std::string_view key) {
        Separate();
        out << Json(key).dump() << ": ";
        keyWritten = true;
    }
    void Number(std::int64_t value) {
        Separate();
        out << value;
    }
    void Text(std::string_view utf8) {
        Separate();
        out << Json(utf8).dump();
    }
    void Null() {
        Separate();
        out << "null";
    }
    void Open(char bracket) {
        Separate();
        out << bracket;
        open.push_back({bracket == '{' ? '}' : ']', 0});
    }
    void Close() {
        Level level = open.back();
        open.pop_back();
        if (level.items > 0) out << '\n' << std::string(open.size() * 2, ' ');
        out << level.closing;
    }

private:
    struct Level {
        char closing;
        std::size_t items;
    };

    // What comes before a value: after a key, nothing; in a container, the line break, the
    // comma between items and the indentation.
    void Separate() {
        if (keyWritten) {
            keyWritten = false;
            return;
        }
        if (open.empty()) return;
        out << (open.back().items++ > 0 ? ",\n" : "\n") << std::string(open.size() * 2, ' ');
    }

    std::ostream& out;
    std::vector<Level> open;
    bool keyWritten = false;
};

class JsonOutVisitor : public CKXFieldVisitor {
public:
    JsonOutVisitor(const CodePage& codePage, JsonStreamWriter& json) : codePage(codePage), json(json) {}

    void Byte(const char* key, std::uint8_t& value) override { Number(key, value); }
    void Int(const char* key, std::int32_t& value) override { Number(key, value); }
    void Dword(const char* key, std::uint32_t& value) override { Number(key, value); }
    void Time(const char* key, std::int32_t& value) override { Number(key, value); }
    void Rect(const char* key, VxRect& value) override {
        json.Key(key);
        json.Open('[');
        for (std::int32_t side : {value.left, value.top, value.right, value.bottom}) json.Number(side);
        json.Close();
    }
    void String(const char* key, std::string& value) override {
        json.Key(key);
        json.Text(codePage.ToUtf8(value));
    }
    void StringList(const char* key, CKXStringList& value) override {
        json.Key(key);
        json.Open('[');
        for (std::string_view text : value) json.Text(codePage.ToUtf8(std::string(text)));
        json.Close();
    }
    void Objects(const char* key, ObjectList& value, const char* defaultClass) override {
        json.Key(key);
        List(value, defaultClass);
    }
    void ByteArray(const char* key, std::vector<std::uint8_t>& value) override {
        Number((std::string(key) + "Size").c_str(), static_cast<std::int64_t>(value.size()));
    }
    void Nested(const char* key, const std::function<void()>& fields) override {
        json.Key(key);
        json.Open('{');
        fields();
        json.Close();
    }
    void MemberList(const char* key, std::size_t size, const std::function<void()>&,
                    const std::function<CKXSerializable&()>&,
                    const std::function<CKXSerializable&(std::size_t)>& at) override {
        json.Key(key);
        json.Open('[');
        for (std::size_t i = 0; i < size; ++i) Record(at(i), nullptr);
        json.Close();
    }

    void List(const ObjectList& list, const char* defaultClass) {
        json.Open('[');
        for (const RecordRef& record : list) {
            if (record) {
                Record(*record, defaultClass);
            } else {
                json.Null();
            }
        }
        json.Close();
    }

    void Record(CKXSerializable& record, const char* defaultClass) {
        json.Open('{');
        if (defaultClass == nullptr || std::string(defaultClass) != record.ClassName()) {
            if (FindRegisteredClass(record.ClassName())) {
                json.Key("class");
                json.Text(record.ClassName());
            }
        }
        record.Serialize(*this);
        json.Close();
    }

private:
    void Number(const char* key, std::int64_t value) {
        json.Key(key);
        json.Number(value);
    }

    const CodePage& codePage;
    JsonStreamWriter& json;
};

class JsonInVisitor : public CKXFieldVisitor {
public:
    JsonInVisitor(const JsonDocument& document, const CodePage& codePage) : document(document), codePage(codePage) {}

    // Visits record's fields from the JSON object at path, then refuses keys that name no field.
    void ReadRecord(const Json& object, const std::string& path, CKXSerializable& record) {
        if (!object.is_object()) Fail(path, "expected an object");
        Scope scope{&object, path, {"class"}};
        std::swap(scope, current);
        record.Serialize(*this);
        std::swap(scope, current);
        CheckAllKeysUsed(scope);
    }

    void Byte(const char* key, std::uint8_t& value) override {
        if (const Json* json = Find(key)) value = static_cast<std::uint8_t>(Integer(*json, key, 0, 255));
    }
    void Int(const char* key, std::int32_t& value) override {
        if (const Json* json = Find(key)) {
            value = static_cast<std::int32_t>(Integer(*json, key, std::numeric_limits<std::int32_t>::min(),
                                                      std::numeric_limits<std::int32_t>::max()));
        }
    }
    void Dword(const char* key, std::uint32_t& value) override {
        if (const Json* json = Find(key)) {
            value = static_cast<std::uint32_t>(Integer(*json, key, 0, std::numeric_limits<std::uint32_t>::max()));
        }
    }
    void Time(const char* key, std::int32_t& value) override { Int(key, value); }
    void Rect(const char* key, VxRect& value) override {
        const Json* json = Find(key);
        if (!json) return;
        if (!json->is_array() || json->size() != 4) {
            Fail(Path(key), "expected [left, top, right, bottom]");
        }
        std::int32_t* sides[] = {&value.left, &value.top, &value.right, &value.bottom};
        for (std::size_t i = 0; i < 4; ++i) {
            *sides[i] = static_cast<std::int32_t>(IntegerAt((*json)[i], JsonElementPath(Path(key), i),
                                                            std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
        }
    }
    void String(const char* key, std::string& value) override {
        if (const Json* json = Find(key)) value = Text(*json, Path(key));
    }
    void StringList(const char* key, CKXStringList& value) override {
        const Json* json = Find(key);
        if (!json) return;
        if (!json->is_array()) Fail(Path(key), "expected an array of strings");
        value.clear();
        for (std::size_t i = 0; i < json->size(); ++i) {
            value.push_back(Text((*json)[i], JsonElementPath(Path(key), i)));
        }
    }
    void Objects(const char* key, ObjectList& value, const char* defaultClass) override {
        const Json* json = Find(key);
        if (!json) return;
        if (!json->is_array()) Fail(Path(key), "expected an array");
        value.clear();
        for (std::size_t i = 0; i < json->size(); ++i) {
            const Json& entry = (*json)[i];
            std::string path = JsonElementPath(Path(key), i);
            value.push_back(entry.is_null() ? nullptr : NewRecord(entry, path, defaultClass));
        }
    }
    void ByteArray(const char* key, std::vector<std::uint8_t>&) override {
        // Raw data is not described in JSON; its size is shown only.
        current.used.insert(std::string(key) + "Size");
    }
    void Nested(const char* key, const std::function<void()>& fields) override {
        const Json* json = Find(key);
        if (!json) return;
        if (!json->is_object()) Fail(Path(key), "expected an object");
        Scope scope{json, Path(key), {}};
        std::swap(scope, current);
        fields();
        std::swap(scope, current);
        CheckAllKeysUsed(scope);
    }
    void MemberList(const char* key, std::size_t, const std::function<void()>& clear,
                    const std::function<CKXSerializable&()>& append,
                    const std::function<CKXSerializable&(std::size_t)>&) override {
        const Json* json = Find(key);
        if (!json) return;
        if (!json->is_array()) Fail(Path(key), "expected an array");
        clear();
        for (std::size_t i = 0; i < json->size(); ++i) {
            ReadRecord((*json)[i], JsonElementPath(Path(key), i), append());
        }
    }

private:
    struct Scope {
        const Json* object = nullptr;
        std::string path;
        std::set<std::string> used;
    };

    [[noreturn]] void Fail(const std::string& path, const std::string& message) const {
        int line = document.LineOf(path);
        std::string where = line > 0 ? "line " + std::to_string(line) + ", " : "";
        throw ProjectJsonError(where + "key \"" + path + "\": " + message);
    }

    std::string Path(const char* key) const { return JsonChildPath(current.path, key); }

    const Json* Find(const char* key) {
        current.used.insert(key);
        auto it = current.object->find(key);
        return it == current.object->end() ? nullptr : &*it;
    }

    void CheckAllKeysUsed(const Scope& scope) const {
        for (auto it = scope.object->begin(); it != scope.object->end(); ++it) {
            if (!scope.used.count(it.key())) Fail(JsonChildPath(scope.path, it.key()), "unknown key");
        }
    }

    std::int64_t IntegerAt(const Json& json, const std::string& path, std::int64_t low, std::int64_t high) const {
        if (json.is_boolean()) return json.get<bool>() ? 1 : 0;
        if (!json.is_number_integer()) Fail(path, "expected an integer");
        if (json.is_number_unsigned() && json.get<std::uint64_t>() > static_cast<std::uint64_t>(high)) {
            Fail(path, "value out of range");
        }
        std::int64_t value = json.get<std::int64_t>();
        if (value < low || value > high) Fail(path, "value out of range");
        return value;
    }

    std::int64_t Integer(const Json& json, const char* key, std::int64_t low, std::int64_t high) const {
        return IntegerAt(json, Path(key), low, high);
    }

    std::string Text(const Json& json, const std::string& path) const {
        if (!json.is_string()) Fail(path, "expected a string");
        std::string text;
        if (!codePage.FromUtf8(json.get_ref<const std::string&>(), text)) {
            Fail(path, "text cannot be written in code page " + codePage.Name());
        }
        return text;
    }

    RecordRef NewRecord(const Json& entry, const std::string& path, const char* defaultClass) {
        if (!entry.is_object()) Fail(path, "expected an object or null");
        std::string className;
        if (auto it = entry.find("class"); it != entry.end()) {
            if (!it->is_string()) Fail(JsonChildPath(path, "class"), "expected a class name");
            className = it->get<std::string>();
        } else if (defaultClass) {
            className = defaultClass;
        } else if (auto type = entry.find("typeCode"); type != entry.end() && type->is_number_integer()) {
            const char* name = ClassForTypeCode(type->get<std::int64_t>());
            if (!name) Fail(JsonChildPath(path, "typeCode"), "no object kind has this code");
            className = name;
        } else {
            Fail(path, "give the record's \"class\" or \"typeCode\"");
        }
        const CKXClassInfo* info = FindRegisteredClass(className);
        if (!info) Fail(JsonChildPath(path, "class"), "unknown class \"" + className + "\"");
        RecordRef record = info->create();
        ReadRecord(entry, path, *record);
        return record;
    }

    const JsonDocument& document;
    const CodePage& codePage;
    Scope current;
};

}  // namespace

void WriteProjectJson(std::ostream& out, CVantorixProject& project, const CodePage& codePage, const ObjectList* fonts) {
    JsonStreamWriter json(out);
    JsonOutVisitor visitor(codePage, json);
    json.Open('{');
    project.Serialize(visitor);
    if (fonts) {
        json.Key("fonts");
        visitor.List(*fonts, "CKXTTFInfo");
    }
    json.Close();
    out << '\n';
}

Json ProjectToJson(CVantorixProject& project, const CodePage& codePage) {
    std::ostringstream text;
    WriteProjectJson(text, project, codePage, nullptr);
    return Json::parse(text.str());
}

std::unique_ptr<CVantorixProject> ProjectFromJson(const JsonDocument& document, const CodePage& codePage) {
    auto project = std::make_unique<CVantorixProject>();
    JsonInVisitor visitor(document, codePage);
    visitor.ReadRecord(document.root, "", *project);
    return project;
}

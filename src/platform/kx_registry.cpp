#include "platform/kx_registry.h"

#include "platform/ascii_case.h"
#include "platform/special_folders.h"
#include "platform/windows_paths.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <limits>
#include <optional>
#include <string_view>

namespace {

// Values that a failed read once left behind; reading one must fail again, not hand it out.
constexpr std::string_view kFailedStringMarker = "***!!!***@@";
constexpr std::uint32_t kFailedDwordMarker = 99999999;

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

Statement Prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    return Statement(statement);
}

// Names are project text in its 8-bit code page, not necessarily UTF-8: they are kept as blobs.
void BindBytes(sqlite3_stmt* statement, int index, const void* bytes, std::size_t size) {
    // A null pointer would bind SQL NULL instead of an empty blob.
    sqlite3_bind_blob(statement, index, size ? bytes : "", static_cast<int>(size), SQLITE_TRANSIENT);
}

void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
    BindBytes(statement, index, text.data(), text.size());
}

std::vector<std::uint8_t> ColumnBytes(sqlite3_stmt* statement, int column) {
    const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, column));
    int size = sqlite3_column_bytes(statement, column);
    if (!bytes || size <= 0) return {};
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

int EffectiveRoot(int root) {
    return root >= CKXRegistry::HKEY_CLASSES_ROOT && root <= CKXRegistry::HKEY_USERS ? root
                                                                                     : CKXRegistry::HKEY_CURRENT_USER;
}

std::string TrimBackslashes(const std::string& key) {
    std::size_t first = key.find_first_not_of('\\');
    if (first == std::string::npos) return "";
    return key.substr(first, key.find_last_not_of('\\') - first + 1);
}

std::string Folded(std::string text) {
    for (char& c : text) c = FoldAscii(c);
    return text;
}

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Bytes from text read number after number the way strtoul(..., 16) reads: blanks, a sign, an
// optional 0x, hex digits; each number gives its low byte. Reading stops at the first place that
// holds no number.
std::vector<std::uint8_t> ParseHexBytes(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    std::size_t pos = 0;
    while (true) {
        std::size_t i = pos;
        while (i < text.size() && IsBlank(text[i])) ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
        if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
            HexDigit(text[i + 2]) >= 0) {
            i += 2;
        }
        if (i >= text.size() || HexDigit(text[i]) < 0) break;
        std::uint64_t value = 0;
        bool overflow = false;
        for (; i < text.size() && HexDigit(text[i]) >= 0; ++i) {
            if (value > (std::numeric_limits<std::uint64_t>::max() >> 4)) overflow = true;
            value = (value << 4) | static_cast<std::uint64_t>(HexDigit(text[i]));
        }
        if (overflow) {
            value = std::numeric_limits<std::uint64_t>::max();
        } else if (negative) {
            value = ~value + 1;
        }
        bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
        pos = i;
    }
    return bytes;
}

// A decimal number read the way atol reads it (blanks, a sign, digits, anything after ignored,
// 0 when there is no number), reduced to its low 32 bits.
std::uint32_t ParseDword(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 63;
    std::uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        std::uint64_t digit = static_cast<std::uint64_t>(text[i] - '0');
        magnitude = magnitude > (kLimit - digit) / 10 ? kLimit : magnitude * 10 + digit;
    }
    // Out-of-range numbers stop at the limits of a 64-bit long, as atol's do.
    if (!negative && magnitude == kLimit) magnitude = kLimit - 1;
    std::uint64_t value = negative ? ~magnitude + 1 : magnitude;
    return static_cast<std::uint32_t>(value);
}

std::vector<std::uint8_t> MultiStringBytes(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('|', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) {
            bytes.insert(bytes.end(), text.begin() + static_cast<std::ptrdiff_t>(start),
                         text.begin() + static_cast<std::ptrdiff_t>(end));
            bytes.push_back(0);
        }
        start = end + 1;
    }
    bytes.push_back(0);
    return bytes;
}

std::string StoredString(const std::vector<std::uint8_t>& data) {
    std::string text(data.begin(), data.end());
    return text.substr(0, text.find('\0'));
}

std::string JoinedMultiString(const std::vector<std::uint8_t>& data) {
    std::string joined;
    std::size_t start = 0;
    bool first = true;
    while (start < data.size()) {
        std::size_t end = start;
        while (end < data.size() && data[end] != 0) ++end;
        if (end == start) break;  // the empty string that ends the list
        if (!first) joined += '|';
        joined.append(data.begin() + static_cast<std::ptrdiff_t>(start),
                      data.begin() + static_cast<std::ptrdiff_t>(end));
        first = false;
        start = end + 1;
    }
    return joined;
}

std::string HexText(const std::vector<std::uint8_t>& data) {
    std::string text;
    char digits[4];
    for (std::uint8_t byte : data) {
        std::snprintf(digits, sizeof digits, "%02X ", byte);
        text += digits;
    }
    if (!text.empty()) text.pop_back();
    return text;
}

// Environment names that Windows programs rely on, with their values in this Windows world; they
// win over the host's variables of the same name (the host's TMP is a host path).
std::optional<std::string> WindowsVariable(const std::string& name) {
    struct Variable {
        const char* name;
        std::string (*value)();
    };
    static const Variable kVariables[] = {
        {"SystemRoot", [] { return SpecialFolders::WindowsFolder(); }},
        {"windir", [] { return SpecialFolders::WindowsFolder(); }},
        {"SystemDrive", [] { return std::string("C:"); }},
        {"ProgramFiles", [] { return SpecialFolders::SpecialFolder(SpecialFolders::CSIDL_PROGRAM_FILES); }},
        {"CommonProgramFiles",
         [] { return SpecialFolders::SpecialFolder(SpecialFolders::CSIDL_PROGRAM_FILES_COMMON); }},
        {"TEMP", [] { return SpecialFolders::TempFolder(); }},
        {"TMP", [] { return SpecialFolders::TempFolder(); }},
        {"USERPROFILE", [] { return SpecialFolders::UserProfileFolder(); }},
        {"ALLUSERSPROFILE", [] { return SpecialFolders::AllUsersProfileFolder(); }},
        {"APPDATA", [] { return SpecialFolders::SpecialFolder(SpecialFolders::CSIDL_APPDATA); }},
        {"USERNAME", [] { return WindowsPathLayer::UserName(); }},
    };
    for (const Variable& variable : kVariables) {
        if (EqualsIgnoringAsciiCase(variable.name, name)) return variable.value();
    }
    return std::nullopt;
}

std::optional<std::string> HostVariable(const std::string& name) {
    std::optional<std::string> caseVariant;
    for (char** entry = environ; entry && *entry; ++entry) {
        std::string_view assignment = *entry;
        std::size_t equals = assignment.find('=');
        if (equals == std::string_view::npos) continue;
        std::string_view variable = assignment.substr(0, equals);
        if (variable == name) return std::string(assignment.substr(equals + 1));
        if (!caseVariant && EqualsIgnoringAsciiCase(variable, name)) {
            caseVariant = std::string(assignment.substr(equals + 1));
        }
    }
    return caseVariant;
}

// %NAME% references replaced by their values; unknown references stay as written.
std::string ExpandReferences(const std::string& text) {
    std::string expanded;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t open = text.find('%', pos);
        std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            expanded.append(text, pos);
            break;
        }
        expanded.append(text, pos, open - pos);
        std::string name = text.substr(open + 1, close - open - 1);
        std::optional<std::string> value;
        if (!name.empty()) value = WindowsVariable(name);
        if (!name.empty() && !value) value = HostVariable(name);
        expanded += value ? *value : text.substr(open, close - open + 1);
        pos = close + 1;
    }
    return expanded;
}

std::vector<std::uint8_t> StringBytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

}  // namespace

void CKXRegistry::DatabaseCloser::operator()(sqlite3* handle) const {
    sqlite3_close_v2(handle);
}

CKXRegistry::CKXRegistry(const std::string& databasePath) {
    if (Open(databasePath)) Seed();
}

CKXRegistry::~CKXRegistry() = default;

std::string CKXRegistry::DefaultPath() {
    return WindowsPathLayer::Instance().DataHome() + "/vantorix/registry.sqlite";
}

bool CKXRegistry::Open(const std::string& databasePath) {
    // SQLite would take an empty name for a throw-away store; a registry that forgets is wrong.
    if (databasePath.empty()) return false;
    std::error_code ignored;
    std::filesystem::path parent = std::filesystem::path(databasePath).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ignored);

    sqlite3* handle = nullptr;
    int status = sqlite3_open_v2(databasePath.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, DatabaseCloser> opened(handle);
    if (status != SQLITE_OK) return false;
    // Another player may hold the write lock for a moment.
    sqlite3_busy_timeout(handle, 5000);
    // A committed write is on disk before the call returns, so neither a crash of the process
    // nor of the machine loses it.
    sqlite3_exec(handle, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(handle, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    const char* schema =
        "CREATE TABLE IF NOT EXISTS reg_keys("
        " id INTEGER PRIMARY KEY,"
        " root INTEGER NOT NULL,"
        " folded BLOB NOT NULL,"  // the path without outer backslashes, ASCII letters folded
        " name BLOB NOT NULL,"    // the path as first written
        " UNIQUE(root, folded));"
        "CREATE TABLE IF NOT EXISTS reg_values("
        " key_id INTEGER NOT NULL REFERENCES reg_keys(id),"
        " folded BLOB NOT NULL,"
        " name BLOB NOT NULL,"
        " type INTEGER NOT NULL,"
        " data BLOB NOT NULL,"
        " PRIMARY KEY(key_id, folded)) WITHOUT ROWID;";
    if (sqlite3_exec(handle, schema, nullptr, nullptr, nullptr) != SQLITE_OK) return false;
    // Reading the schema proves the file is a database at all.
    if (sqlite3_exec(handle, "SELECT count(*) FROM reg_keys", nullptr, nullptr, nullptr) != SQLITE_OK) {
        return false;
    }
    db = std::move(opened);
    return true;
}

void CKXRegistry::Seed() {
    using SF = SpecialFolders;
    const std::string currentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
    const std::string userShellFolders = currentVersion + "\\Explorer\\Shell Folders";
    const std::string commonShellFolders = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const std::string windowsNt = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    struct Seeded {
        int root;
        const std::string& key;
        const char* name;
        std::string value;
    };
    const Seeded seeds[] = {
        {HKEY_LOCAL_MACHINE, currentVersion, "ProgramFilesDir", SF::SpecialFolder(SF::CSIDL_PROGRAM_FILES)},
        {HKEY_LOCAL_MACHINE, currentVersion, "CommonFilesDir", SF::SpecialFolder(SF::CSIDL_PROGRAM_FILES_COMMON)},
        {HKEY_CURRENT_USER, userShellFolders, "Programs", SF::SpecialFolder(SF::CSIDL_PROGRAMS)},
        {HKEY_CURRENT_USER, userShellFolders, "Personal", SF::SpecialFolder(SF::CSIDL_PERSONAL)},
        {HKEY_CURRENT_USER, userShellFolders, "Startup", SF::SpecialFolder(SF::CSIDL_STARTUP)},
        {HKEY_CURRENT_USER, userShellFolders, "Start Menu", SF::SpecialFolder(SF::CSIDL_STARTMENU)},
        {HKEY_CURRENT_USER, userShellFolders, "Desktop", SF::SpecialFolder(SF::CSIDL_DESKTOPDIRECTORY)},
        {HKEY_CURRENT_USER, userShellFolders, "Fonts", SF::SpecialFolder(SF::CSIDL_FONTS)},
        {HKEY_CURRENT_USER, userShellFolders, "AppData", SF::SpecialFolder(SF::CSIDL_APPDATA)},
        {HKEY_LOCAL_MACHINE, commonShellFolders, "Common Start Menu", SF::SpecialFolder(SF::CSIDL_COMMON_STARTMENU)},
        {HKEY_LOCAL_MACHINE, commonShellFolders, "Common Programs", SF::SpecialFolder(SF::CSIDL_COMMON_PROGRAMS)},
        {HKEY_LOCAL_MACHINE, commonShellFolders, "Common Startup", SF::SpecialFolder(SF::CSIDL_COMMON_STARTUP)},
        {HKEY_LOCAL_MACHINE, commonShellFolders, "Common Desktop",
         SF::SpecialFolder(SF::CSIDL_COMMON_DESKTOPDIRECTORY)},
        {HKEY_LOCAL_MACHINE, commonShellFolders, "Common AppData", SF::SpecialFolder(SF::CSIDL_COMMON_APPDATA)},
        {HKEY_LOCAL_MACHINE, windowsNt, "ProductName", "Microsoft Windows XP"},
        {HKEY_LOCAL_MACHINE, windowsNt, "CurrentVersion", "5.1"},
        {HKEY_LOCAL_MACHINE, windowsNt, "CurrentBuildNumber", "2600"},
        {HKEY_LOCAL_MACHINE, windowsNt, "SystemRoot", SF::WindowsFolder()},
    };
    std::vector<Entry> entries;
    for (const Seeded& seed : seeds) {
        entries.push_back({seed.root, seed.key, seed.name, REG_SZ, StringBytes(seed.value)});
    }
    // A store that is read-only for us still serves reads; its missing seeds stay missing.
    Write(entries, true);
}

bool CKXRegistry::Write(const std::vector<Entry>& entries, bool onlyIfMissing) {
    if (!db) return false;
    sqlite3* handle = db.get();
    if (sqlite3_exec(handle, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        return false;
    }
    Statement insertKey = Prepare(handle, "INSERT OR IGNORE INTO reg_keys(root, folded, name) VALUES(?1, ?2, ?3)");
    Statement findKey = Prepare(handle, "SELECT id FROM reg_keys WHERE root = ?1 AND folded = ?2");
    Statement insertValue =
        Prepare(handle, onlyIfMissing ? "INSERT OR IGNORE INTO reg_values(key_id, folded, name, type, data) "
                                        "VALUES(?1, ?2, ?3, ?4, ?5)"
                                      : "INSERT INTO reg_values(key_id, folded, name, type, data) "
                                        "VALUES(?1, ?2, ?3, ?4, ?5) ON CONFLICT(key_id, folded) "
                                        "DO UPDATE SET type = excluded.type, data = excluded.data");
    bool ok = insertKey && findKey && insertValue;
    for (const Entry& entry : entries) {
        if (!ok) break;
        int root = EffectiveRoot(entry.root);
        std::string path = TrimBackslashes(entry.key);
        // Creating a key creates its parents, as on Windows.
        std::vector<std::pair<std::string, std::string>> keys;  // folded, as written
        for (std::size_t end = path.find('\\'); end != std::string::npos; end = path.find('\\', end + 1)) {
            if (path[end - 1] != '\\') keys.emplace_back(Folded(path.substr(0, end)), path.substr(0, end));
        }
        keys.emplace_back(Folded(path), entry.key);
        for (const auto& [folded, written] : keys) {
            sqlite3_reset(insertKey.get());
            sqlite3_bind_int(insertKey.get(), 1, root);
            BindText(insertKey.get(), 2, folded);
            BindText(insertKey.get(), 3, written);
            ok = ok && sqlite3_step(insertKey.get()) == SQLITE_DONE;
        }
        if (!ok) break;
        sqlite3_reset(findKey.get());
        sqlite3_bind_int(findKey.get(), 1, root);
        BindText(findKey.get(), 2, keys.back().first);
        if (sqlite3_step(findKey.get()) != SQLITE_ROW) {
            ok = false;
            break;
        }
        sqlite3_int64 keyId = sqlite3_column_int64(findKey.get(), 0);

        sqlite3_reset(insertValue.get());
        sqlite3_bind_int64(insertValue.get(), 1, keyId);
        BindText(insertValue.get(), 2, Folded(entry.valueName));
        BindText(insertValue.get(), 3, entry.valueName);
        sqlite3_bind_int(insertValue.get(), 4, entry.type);
        BindBytes(insertValue.get(), 5, entry.data.data(), entry.data.size());
        ok = sqlite3_step(insertValue.get()) == SQLITE_DONE;
    }
    insertKey.reset();
    findKey.reset();
    insertValue.reset();
    if (ok && sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) return true;
    sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

bool CKXRegistry::ReadRaw(int root, const std::string& key, const std::string& valueName, int& type,
                          std::vector<std::uint8_t>& data) const {
    if (!db) return false;
    Statement select = Prepare(db.get(),
                               "SELECT v.type, v.data FROM reg_values v "
                               "JOIN reg_keys k ON v.key_id = k.id "
                               "WHERE k.root = ?1 AND k.folded = ?2 AND v.folded = ?3");
    if (!select) return false;
    sqlite3_bind_int(select.get(), 1, EffectiveRoot(root));
    BindText(select.get(), 2, Folded(TrimBackslashes(key)));
    BindText(select.get(), 3, Folded(valueName));
    if (sqlite3_step(select.get()) != SQLITE_ROW) return false;
    type = sqlite3_column_int(select.get(), 0);
    data = ColumnBytes(select.get(), 1);
    return true;
}

bool CKXRegistry::WriteRaw(int root, const std::string& key, const std::string& valueName, int type,
                           const std::vector<std::uint8_t>& data) {
    return Write({Entry{root, key, valueName, type, data}}, false);
}

bool CKXRegistry::KeyExists(int root, const std::string& key) const {
    if (!db) return false;
    std::string folded = Folded(TrimBackslashes(key));
    if (folded.empty()) return true;
    Statement select = Prepare(db.get(), "SELECT 1 FROM reg_keys WHERE root = ?1 AND folded = ?2");
    if (!select) return false;
    sqlite3_bind_int(select.get(), 1, EffectiveRoot(root));
    BindText(select.get(), 2, folded);
    return sqlite3_step(select.get()) == SQLITE_ROW;
}

bool CKXRegistry::GetValue(int root, const std::string& key, const std::string& valueName,
                           const std::string& defaultValue, bool expand, std::string& result) const {
    result = defaultValue;
    int type = 0;
    std::vector<std::uint8_t> data;
    if (!ReadRaw(root, key, valueName, type, data)) return false;
    std::string text;
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            text = StoredString(data);
            if (EqualsIgnoringAsciiCase(text, kFailedStringMarker)) return false;
            if (type == REG_EXPAND_SZ && expand) text = ExpandReferences(text);
            break;
        case REG_BINARY:
            text = HexText(data);
            break;
        case REG_DWORD: {
            if (data.size() != 4) return false;
            std::uint32_t value = static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
                                  static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
            if (value == kFailedDwordMarker) return false;
            text = std::to_string(value);
            break;
        }
        case REG_MULTI_SZ:
            text = JoinedMultiString(data);
            break;
        default:
            return false;
    }
    result = std::move(text);
    return true;
}

bool CKXRegistry::SetValue(int root, const std::string& key, const std::string& valueName, const std::string& valueText,
                           int type) {
    std::vector<std::uint8_t> data;
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            data = StringBytes(valueText);
            break;
        case REG_BINARY:
            data = ParseHexBytes(valueText);
            break;
        case REG_DWORD: {
            std::uint32_t value = ParseDword(valueText);
            data = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                    static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
            break;
        }
        case REG_MULTI_SZ:
            data = MultiStringBytes(valueText);
            break;
        default:
            return false;
    }
    return WriteRaw(root, key, valueName, type, data);
}

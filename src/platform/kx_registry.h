#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;

// The registry that menus and the programs they start see, kept in an SQLite file so that it
// outlives the run and survives a crash. Key paths and value names compare ignoring ASCII case;
// a key's default value has the name "". Each write is its own transaction. A store that cannot be
// opened makes every operation fail instead of bringing the player down.
class CKXRegistry {
public:
    // Root numbers as scripts pass them; any other number means HKEY_CURRENT_USER.
    enum Root : int {
        HKEY_CLASSES_ROOT = 0,
        HKEY_CURRENT_CONFIG = 1,
        HKEY_CURRENT_USER = 2,
        HKEY_LOCAL_MACHINE = 3,
        HKEY_USERS = 4,
    };
    // Value types. Strings are stored as their 8-bit bytes without a terminating NUL, DWORDs as 4
    // little-endian bytes, multi strings as NUL-terminated strings followed by one more NUL.
    enum Type : int {
        REG_SZ = 1,
        REG_EXPAND_SZ = 2,
        REG_BINARY = 3,
        REG_DWORD = 4,
        REG_MULTI_SZ = 7,
    };

    // Opens (or creates, with its folder) the store and adds the values Windows programs expect
    // that are still missing.
    explicit CKXRegistry(const std::string& databasePath);
    ~CKXRegistry();
    CKXRegistry(const CKXRegistry&) = delete;
    CKXRegistry& operator=(const CKXRegistry&) = delete;

    // <data home>/vantorix/registry.sqlite, beside drive C:.
    static std::string DefaultPath();

    bool IsOpen() const { return db != nullptr; }

    // A value as text: REG_SZ as stored, REG_EXPAND_SZ with %NAME% references expanded when expand
    // is set, REG_BINARY as "01 02 FF", REG_DWORD in unsigned decimal, REG_MULTI_SZ joined with
    // "|". Leading and trailing backslashes of key are ignored; reading never creates a key. On
    // failure (no such value, another type, or a stored failed-read marker) result is defaultValue
    // and the return is false.
    bool GetValue(int root, const std::string& key, const std::string& valueName, const std::string& defaultValue,
                  bool expand, std::string& result) const;
    // Stores text converted to type: strings as they are, REG_BINARY from blank-separated hex
    // bytes, REG_DWORD from a decimal number, REG_MULTI_SZ from "|"-separated strings (empty
    // pieces dropped). Missing keys are created. False for another type or a failed write.
    bool SetValue(int root, const std::string& key, const std::string& valueName, const std::string& valueText,
                  int type);

    // Typed access to the stored bytes, any type number.
    bool ReadRaw(int root, const std::string& key, const std::string& valueName, int& type,
                 std::vector<std::uint8_t>& data) const;
    bool WriteRaw(int root, const std::string& key, const std::string& valueName, int type,
                  const std::vector<std::uint8_t>& data);
    // True for a key that was written, or an ancestor of one; a root's own key always exists.
    bool KeyExists(int root, const std::string& key) const;

private:
    struct DatabaseCloser {
        void operator()(sqlite3* handle) const;
    };
    struct Entry {
        int root;
        std::string key;
        std::string valueName;
        int type;
        std::vector<std::uint8_t> data;
    };

    bool Open(const std::string& databasePath);
    void Seed();
    // Writes the entries in one transaction; with onlyIfMissing, existing values stay as they are.
    bool Write(const std::vector<Entry>& entries, bool onlyIfMissing);

    std::unique_ptr<sqlite3, DatabaseCloser> db;
};

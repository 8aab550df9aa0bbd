#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

// A list of 8-bit strings held compactly: all of them in one buffer, each behind its length (one
// byte below 128, a byte more for each further 7 bits), so that a list costs about what its text
// does however many entries it has. Stored lists (a project's playlist, its unused list) may come
// from damaged or hostile files with millions of entries.
class CKXStringList {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = const std::string_view*;
        using reference = std::string_view;

        const_iterator() = default;
        std::string_view operator*() const { return current; }
        const_iterator& operator++();
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const const_iterator& other) const { return next == other.next && atEnd == other.atEnd; }

    private:
        friend class CKXStringList;
        const_iterator(const std::string* bytes, std::size_t position);
        const std::string* bytes = nullptr;
        std::size_t next = 0;
        std::string_view current;
        bool atEnd = true;
    };

    CKXStringList() = default;
    CKXStringList(std::initializer_list<std::string_view> items);
    explicit CKXStringList(const std::vector<std::string>& items);

    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }
    void clear();
    void push_back(std::string_view text);
    // Room for that many bytes of lengths and text.
    void reserve(std::size_t byteCount);
    // The entry at index (index < size()), found from the nearest of every 256th entry.
    std::string_view operator[](std::size_t index) const;
    const_iterator begin() const { return const_iterator(&bytes, 0); }
    const_iterator end() const { return const_iterator(); }
    std::vector<std::string> ToVector() const;
    // The bytes the list holds (its text and lengths), for memory accounting.
    std::size_t ByteSize() const { return bytes.size(); }

    bool operator==(const CKXStringList& other) const { return count == other.count && bytes == other.bytes; }

private:
    static constexpr std::size_t markEvery = 256;
    std::string bytes;
    std::size_t count = 0;
    std::vector<std::size_t> marks;  // where entries 0, 256, 512, ... start
};

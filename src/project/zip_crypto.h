#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Traditional PKWARE decryption of an entry's stored bytes, done a whole buffer at a time: the
// engine's own byte-by-byte path costs a large part of a project's load.
class ZipCryptoDecoder {
public:
    explicit ZipCryptoDecoder(std::string_view password);
    void Decrypt(std::uint8_t* data, std::size_t size);

private:
    void Update(std::uint8_t plain);

    std::uint32_t key0 = 0x12345678;
    std::uint32_t key1 = 0x23456789;
    std::uint32_t key2 = 0x34567890;
};

inline constexpr std::size_t zipCryptoHeaderSize = 12;

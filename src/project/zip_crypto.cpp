#include "project/zip_crypto.h"

#include <array>

namespace {

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> crcTable = MakeCrcTable();

}  // namespace

ZipCryptoDecoder::ZipCryptoDecoder(std::string_view password) {
    for (char c : password) Update(static_cast<std::uint8_t>(c));
}

void ZipCryptoDecoder::Update(std::uint8_t plain) {
    key0 = crcTable[(key0 ^ plain) & 0xFF] ^ (key0 >> 8);
    key1 = (key1 + (key0 & 0xFF)) * 134775813u + 1;
    key2 = crcTable[(key2 ^ (key1 >> 24)) & 0xFF] ^ (key2 >> 8);
}

void ZipCryptoDecoder::Decrypt(std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        std::uint32_t temp = (key2 | 2) & 0xFFFF;
        std::uint8_t plain = data[i] ^ static_cast<std::uint8_t>((temp * (temp ^ 1)) >> 8);
        data[i] = plain;
        Update(plain);
    }
}

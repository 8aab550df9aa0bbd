#pragma once

#include <cstddef>
#include <cstdint>

// In-memory inflate of one zlib stream, used for compressed movie headers.
class CKXUnzipMemToMem {
public:
    // Inflates source into destination, writing at most destinationCapacity bytes. Returns 0
    // when the stream ended or the destination was filled without a data error; non-zero
    // otherwise. *produced (when given) receives the number of bytes written.
    static int InflateBuffer(const std::uint8_t* source, std::size_t sourceLength, std::uint8_t* destination,
                             std::size_t destinationCapacity, std::size_t* produced = nullptr);
};

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class CKXRegistry;

// The header of a Flash movie: its signature, format version, length and the first bytes of
// its body, which hold the frame rectangle, the frame rate and the frame count.
class CKXFlashFileInfo {
public:
    // Reads the header of the movie at a host path; false when the file cannot be read, its
    // compressed body does not inflate, or the header is not a valid one (IsValid).
    bool Open(const std::string& path);
    // The same for a movie already in memory.
    bool OpenBytes(const std::uint8_t* data, std::size_t size);

    // A movie of format 1 to 5 must be uncompressed ("FWS"); later ones may also be "CWS".
    bool IsValid() const;

    // The movie's frame size in pixels; false (and 0, 0) when no Flash control is installed or
    // the frame rectangle does not fit in the header bytes.
    bool GetMovieSize(const CKXRegistry& registry, int& height, int& width) const;

    // The frame rectangle in twentieths of a pixel, without asking for the control.
    struct FrameRect {
        int xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    };
    bool ReadFrameRect(FrameRect& rect) const;
    // The rectangle read from the longer start of the body that is kept, and the frame rate
    // (frames per second, in 1/256) and frame count that follow it.
    bool ReadMovieFrames(FrameRect& rect, int& rateTimes256, int& frameCount) const;

    std::string moviePath;
    std::array<char, 3> signature{};
    std::uint8_t swfVersion = 0;
    std::uint32_t fileLength = 0;
    // The body bytes after the 8-byte header that the size reading uses: 13 for an uncompressed
    // movie, 16 for a compressed one.
    std::array<std::uint8_t, 16> headerBits{};
    std::size_t headerBitCount = 0;  // bytes of headerBits that hold data

private:
    // The first body bytes, enough for the largest rectangle and the two numbers after it.
    static constexpr std::size_t bodyBytesKept = 32;
    std::array<std::uint8_t, bodyBytesKept> body{};
    std::size_t bodyBytes = 0;
};

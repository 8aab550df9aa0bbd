#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Writes the mix to a WAV file: 44100 Hz, 16-bit stereo. The header's sizes are brought up to
// date now and then, so a file cut short by a kill still plays up to its last update.
class CKXWavWriter {
public:
    ~CKXWavWriter();
    // False when the file cannot be created.
    bool Open(const std::string& path);
    void Write(const float* frames, int count);
    void WriteSilence(std::int64_t count);
    void Close();

private:
    void UpdateHeader();
    std::FILE* file = nullptr;
    std::uint64_t dataBytes = 0;
    std::uint64_t sinceUpdate = 0;
};

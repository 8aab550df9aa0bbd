#include "media/wav_writer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr std::uint32_t rate = 44100;
constexpr std::uint64_t updateEvery = rate * 4;  // bytes: every quarter of a second
constexpr std::uint64_t maximumData = 0xFFFFFFFFu - 36;

void PutLittle(unsigned char* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

CKXWavWriter::~CKXWavWriter() {
    Close();
}

bool CKXWavWriter::Open(const std::string& path) {
    file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    UpdateHeader();
    return true;
}

void CKXWavWriter::UpdateHeader() {
    unsigned char header[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    auto data = static_cast<std::uint32_t>(std::min(dataBytes, maximumData));
    PutLittle(header + 4, 36 + data, 4);
    PutLittle(header + 16, 16, 4);
    PutLittle(header + 20, 1, 2);  // PCM
    PutLittle(header + 22, 2, 2);
    PutLittle(header + 24, rate, 4);
    PutLittle(header + 28, rate * 4, 4);
    PutLittle(header + 32, 4, 2);
    PutLittle(header + 34, 16, 2);
    std::copy_n("data", 4, header + 36);
    PutLittle(header + 40, data, 4);
    long end = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    std::fwrite(header, 1, sizeof header, file);
    if (end > 0) std::fseek(file, end, SEEK_SET);
    std::fflush(file);
    sinceUpdate = 0;
}

void CKXWavWriter::Write(const float* frames, int count) {
    if (!file || count <= 0) return;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(count) * 4);
    for (int i = 0; i < count * 2; ++i) {
        auto sample = static_cast<std::int16_t>(std::lround(std::clamp(frames[i], -1.0f, 1.0f) * 32767.0f));
        PutLittle(&bytes[static_cast<std::size_t>(i) * 2], static_cast<std::uint16_t>(sample), 2);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    dataBytes += bytes.size();
    sinceUpdate += bytes.size();
    if (sinceUpdate >= updateEvery) UpdateHeader();
}

void CKXWavWriter::WriteSilence(std::int64_t count) {
    static const float zeros[1024 * 2] = {};
    while (count > 0) {
        int run = static_cast<int>(std::min<std::int64_t>(count, 1024));
        Write(zeros, run);
        count -= run;
    }
}

void CKXWavWriter::Close() {
    if (!file) return;
    UpdateHeader();
    std::fclose(file);
    file = nullptr;
}

#include "media/audio_decoder.h"

#include <cstdio>

std::unique_ptr<CKXAudioDecoder> OpenAudioDecoder(std::unique_ptr<CKXByteSource> bytes) {
    if (!bytes) return nullptr;
    using Opener = std::unique_ptr<CKXAudioDecoder> (*)(std::unique_ptr<CKXByteSource>&);
    for (Opener open : {OpenMidiDecoder, OpenSndfileDecoder, OpenTrackerDecoder}) {
        bytes->Seek(0, SEEK_SET);
        if (auto decoder = open(bytes)) return decoder;
        if (!bytes) return nullptr;
    }
    return nullptr;
}

std::unique_ptr<CKXAudioDecoder> OpenAudioFile(const std::string& path) {
    return OpenAudioDecoder(OpenFileBytes(path));
}

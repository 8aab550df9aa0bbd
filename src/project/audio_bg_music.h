#pragma once

#include <string>
#include <vector>

#include "project/serializable.h"

// The project's background playlist.
class CAudioBGMusic : public CKXSerializable {
public:
    const char* ClassName() const override { return "CAudioBGMusic"; }
    void Serialize(CKXFieldVisitor& v) override {
        v.Int("version", version);
        v.Int("randomOrder", randomOrder);
        v.Int("loopList", loopList);
        v.Int("musicVolume", musicVolume);
        v.Int("effectsVolume", effectsVolume);
        v.StringList("tracks", tracks);
    }
    void ReadBody(CKXArchiveReader& reader) override {
        CKXSerializable::ReadBody(reader);
        RebuildPool();
        currentIndex = -1;
    }
    // The tracks still to come in random order: all of them, in list order.
    void RebuildPool() { pool = tracks.ToVector(); }

    std::int32_t version = 1;
    std::int32_t randomOrder = 0;
    std::int32_t loopList = 1;
    std::int32_t musicVolume = 255;
    std::int32_t effectsVolume = 255;
    CKXStringList tracks;
    std::vector<std::string> pool;  // rebuilt from tracks after reading
    int currentIndex = -1;
};

#pragma once

// A font table for tests: it takes any file whose bytes start with "FONT", and has the faces it
// is told of.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/font_registration.h"
#include "temp_folder.h"

class FakeFontRegistration : public CKXFontRegistration {
public:
    bool HasScalableFace(const std::string& face, int) override { return systemFaces.count(face) != 0; }
    int AddFontFile(const std::string& hostPath) override {
        if (FileContents(hostPath).rfind("FONT", 0) != 0) return -1;
        added[nextId] = hostPath;
        return nextId++;
    }
    bool RemoveFontFile(int id) override {
        if (refuseRemoval) return false;
        return added.erase(id) != 0;
    }
    void ProvideSubstitutes(const std::vector<std::string>& faces) override { substituted = faces; }

    std::set<std::string> systemFaces{"Arial"};
    std::map<int, std::string> added;
    std::vector<std::string> substituted;
    int nextId = 1;
    bool refuseRemoval = false;
};

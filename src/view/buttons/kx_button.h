#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/image/cis_image_ex.h"

class CMarkup;
class CKXZipDir;

// A button file in memory: the settings of its manifest and its six state pictures, decoded
// once per load and shared by name, plus a copy of each scaled to the size last asked for.
//
// A button file is a zip archive (no password) with "_manifest.xml" and the pictures at its
// root; entry names are matched ignoring case. Nothing here depends on a toolkit.
class CKXButton {
public:
    // Picture states, in manifest order; the index is also the button's display state.
    enum State : int {
        kUpNormal = 0,
        kUpHighlight = 1,
        kUpDisabled = 2,
        kDownNormal = 3,
        kDownHighlight = 4,
        kDownDisabled = 5,
    };
    static constexpr int kStateCount = 6;

    static constexpr std::int32_t kDefaultHitThreshold = 200;
    static constexpr std::uint32_t kWhite = 0x00FFFFFF;  // colours are 0x00BBGGRR

    struct Info {
        std::string name;
        std::string description;
        std::string author;
        std::string copyright;
        std::string url;
        std::string email;
        std::string other;
    };

    struct Font {
        std::string face = "Arial";
        std::int32_t charSet = 0;
        std::int32_t size = 12;
        std::int32_t bold = 0;
        std::int32_t italic = 0;
        std::int32_t underline = 0;
        std::int32_t strikeout = 0;
    };

    struct StateSettings {
        std::string pictureName;
        std::uint32_t fontColor = kWhite;
        std::int32_t deltaX = 0;  // percent of the object's width
        std::int32_t deltaY = 0;  // percent of the object's height
    };

    CKXButton() = default;
    CKXButton(const CKXButton&) = delete;
    CKXButton& operator=(const CKXButton&) = delete;
    CKXButton(CKXButton&&) = default;
    CKXButton& operator=(CKXButton&&) = default;

    // Clears the button, then reads the button file at hostPath. False when the file is
    // missing, is no readable archive, or its manifest does not parse or lacks a required
    // element. Pictures that are missing or cannot be decoded do not fail the load: their
    // states just have no picture. An empty path only clears (and frees the pictures).
    bool LoadButtonFile(const std::string& hostPath);

    // Back to the defaults, pictures freed.
    void Clear();

    // The state's picture scaled to width x height, or nullptr when the state has none.
    // A size of -1 on either side, or the picture's own size, gives the picture itself; a scale
    // that fails gives it too. The scaled copy is kept until another size is asked for.
    const CISImageEx* GetStatePicture(int state, int width, int height);
    // The state's picture as decoded, or nullptr.
    const CISImageEx* StatePicture(int state) const;

    bool Loaded() const { return loaded; }
    const std::string& FilePath() const { return filePath; }

    std::int32_t Type() const { return type; }
    const Info& GetInfo() const { return info; }
    std::int32_t HitThreshold() const { return hitThreshold; }
    const std::string& CaptionText() const { return captionText; }
    const Font& CaptionFont() const { return font; }
    std::int32_t CenterX() const { return centerX; }
    std::int32_t CenterY() const { return centerY; }
    // Settings of one state; a state out of range gives the defaults.
    const StateSettings& Settings(int state) const;
    std::int32_t DeltaX(int state) const { return Settings(state).deltaX; }
    std::int32_t DeltaY(int state) const { return Settings(state).deltaY; }
    std::uint32_t FontColor(int state) const { return Settings(state).fontColor; }

    // Number of distinct decoded pictures (states naming one entry share it).
    std::size_t CachedPictureCount() const { return pictureCache.size(); }

private:
    struct CachedPicture {
        std::string name;
        std::unique_ptr<CISImageEx> picture;
    };

    bool ReadManifest(const std::string& text);
    void ReadState(CMarkup& xml, const char* name, int state, bool& failed);
    void LoadStatePictures(const CKXZipDir& directory);
    const CISImageEx* LoadPicture(const CKXZipDir& directory, const std::string& name);

    std::int32_t type = 0;
    Info info;
    std::int32_t hitThreshold = kDefaultHitThreshold;
    std::string captionText;
    Font font;
    std::int32_t centerX = 50;
    std::int32_t centerY = 50;
    std::array<StateSettings, kStateCount> states;

    std::string filePath;
    bool loaded = false;
    std::vector<CachedPicture> pictureCache;
    std::array<const CISImageEx*, kStateCount> statePictures{};
    std::array<CISImageEx, kStateCount> scaledPictures;
};

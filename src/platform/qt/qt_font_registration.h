#pragma once

#include <string>
#include <vector>

#include "platform/font_registration.h"

// The system's fonts on Qt: the font database with its application fonts, and Qt's font
// substitutions for the Windows faces a project names.
class CKXQtFontRegistration : public CKXFontRegistration {
public:
    bool HasScalableFace(const std::string& face, int charSet) override;
    int AddFontFile(const std::string& hostPath) override;
    bool RemoveFontFile(int id) override;
    void ProvideSubstitutes(const std::vector<std::string>& faces) override;

    // The family drawing gets for a face.
    static std::string ResolvedFamily(const std::string& face);
    // Whether the system has the face itself (ignoring letter case, as Windows matches faces).
    static bool HasFace(const std::string& face);

    // Where Wine's fonts are looked for.
    std::string wineFolder;

    // What ProvideSubstitutes did for each face it had to stand in for.
    struct Provided {
        std::string face;
        std::string how;     // "wine" (Wine's font file was added) or "substitute"
        std::string detail;  // the file added or the substitute families, "; "-separated
    };
    std::vector<Provided> provided;
};

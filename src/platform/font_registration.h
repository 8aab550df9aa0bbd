#pragma once

#include <string>
#include <vector>

// The system's font table as the player uses it: which faces it has, fonts added for the run
// and taken away again. Face names and paths are UTF-8.
class CKXFontRegistration {
public:
    virtual ~CKXFontRegistration() = default;
    // Whether the system has a scalable (TrueType or OpenType) font of exactly this face name,
    // letter case included, for the writing system of a Windows character set.
    virtual bool HasScalableFace(const std::string& face, int charSet) = 0;
    // Makes the font file usable under its face name for the rest of the run; the returned
    // number removes it again, -1 when the file is not a font.
    virtual int AddFontFile(const std::string& hostPath) = 0;
    virtual bool RemoveFontFile(int id) = 0;
    // Stands in installed fonts for the faces a project names that the system lacks.
    virtual void ProvideSubstitutes(const std::vector<std::string>& faces) = 0;
};

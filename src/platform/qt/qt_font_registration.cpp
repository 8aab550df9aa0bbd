#include "platform/qt/qt_font_registration.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

#include <unistd.h>

#include "platform/font_substitutes.h"

namespace {

// The writing system a Windows character set asks for; Any where the set names none.
QFontDatabase::WritingSystem WritingSystemOf(int charSet) {
    switch (charSet) {
        case 0:    // ANSI
        case 77:   // Mac
        case 162:  // Turkish
        case 186:  // Baltic
        case 238:  // Central European
            return QFontDatabase::Latin;
        case 128:
            return QFontDatabase::Japanese;
        case 129:
        case 130:
            return QFontDatabase::Korean;
        case 134:
            return QFontDatabase::SimplifiedChinese;
        case 136:
            return QFontDatabase::TraditionalChinese;
        case 161:
            return QFontDatabase::Greek;
        case 163:
            return QFontDatabase::Vietnamese;
        case 177:
            return QFontDatabase::Hebrew;
        case 178:
            return QFontDatabase::Arabic;
        case 204:
            return QFontDatabase::Cyrillic;
        case 222:
            return QFontDatabase::Thai;
        default:
            return QFontDatabase::Any;
    }
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

bool CKXQtFontRegistration::HasScalableFace(const std::string& face, int charSet) {
    QString family = ToQString(face);
    return QFontDatabase::families(WritingSystemOf(charSet)).contains(family, Qt::CaseSensitive) &&
           QFontDatabase::isSmoothlyScalable(family);
}

int CKXQtFontRegistration::AddFontFile(const std::string& hostPath) {
    return QFontDatabase::addApplicationFont(ToQString(hostPath));
}

bool CKXQtFontRegistration::RemoveFontFile(int id) {
    return QFontDatabase::removeApplicationFont(id);
}

bool CKXQtFontRegistration::HasFace(const std::string& face) {
    return QFontDatabase::families().contains(ToQString(face), Qt::CaseInsensitive);
}

void CKXQtFontRegistration::ProvideSubstitutes(const std::vector<std::string>& faces) {
    std::string folder = wineFolder.empty() ? std::string(wineFontFolder) : wineFolder;
    for (const std::string& face : faces) {
        if (HasFace(face)) continue;
        const FontSubstitute* entry = FindFontSubstitute(face);
        if (!entry) continue;
        QStringList families;
        if (!entry->wineFile.empty()) {
            std::string file = folder + "/" + std::string(entry->wineFile);
            int id = access(file.c_str(), R_OK) == 0 ? AddFontFile(file) : -1;
            if (id >= 0) {
                if (HasFace(face)) {
                    provided.push_back({face, "wine", file});
                    continue;
                }
                // Wine's file for this face carries another face's name.
                families << QFontDatabase::applicationFontFamilies(id);
            }
        }
        for (std::string_view family : entry->families) {
            if (HasFace(std::string(family))) families << ToQString(family);
        }
        if (families.isEmpty()) continue;
        QFont::insertSubstitutions(ToQString(face), families);
        provided.push_back({face, "substitute", families.join("; ").toStdString()});
    }
}

std::string CKXQtFontRegistration::ResolvedFamily(const std::string& face) {
    QFont font(ToQString(face));
    font.setPixelSize(16);
    return QFontInfo(font).family().toStdString();
}

#include "app/font_listing.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>

#include "app/chosen_project.h"
#include "app/px_runtime_app.h"
#include "app/runtime_folder.h"
#include "platform/ascii_case.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/font_substitutes.h"
#include "platform/qt/qt_font_registration.h"
#include "project/archive_error.h"
#include "project/kx_ttf_info.h"
#include "project/project_fonts.h"
#include "project/unzip_to_memory.h"
#include "project/vantorix_project.h"
#include "resources/kx_ttf_manager.h"

namespace {

struct FaceRow {
    std::string face, resolved, embedded, how;
};

bool SameFace(const std::string& a, const std::string& b) {
    return EqualsIgnoringAsciiCase(a, b);
}

}  // namespace

int ListProjectFonts(const PlayerOptions& options, int argc, char** argv, std::ostream& out) {
    EnsurePrivateRuntimeFolder();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ChosenProject chosen = OpenChosenProject(options);
    if (!chosen.error.empty()) {
        std::fprintf(stderr, "vantorix: %s\n", chosen.error.c_str());
        return 1;
    }
    const std::unique_ptr<CodePage>& codePage = chosen.codePage;
    const std::string &dataFile = chosen.dataFile, &password = chosen.password;
    ArchiveEntryResult entry = ReadArchiveEntry(dataFile, projectEntryName, password.c_str());
    if (const char* failure = ProjectEntryFailureMessage(entry.status)) {
        std::fprintf(stderr, "vantorix: %s: %s\n", dataFile.c_str(), failure);
        return 1;
    }
    std::unique_ptr<CVantorixProject> project;
    try {
        project = ReadProjectEntry(entry.bytes, *codePage);
    } catch (const CKXArchiveError& error) {
        std::fprintf(stderr, "vantorix: %s: The project file is damaged: %s.\n", dataFile.c_str(), error.what());
        return 1;
    }

    // The same steps as a run: the embedded fonts first, then stand-ins for what is still missing.
    CKXQtFontRegistration registration;
    CKXTTFManager fonts;
    std::vector<CKXTTFManager::FontEvent> fontEvents;
    fonts.onFont = [&](const CKXTTFManager::FontEvent& event) { fontEvents.push_back(event); };
    // No window: the font entry's own message is answered and left out; the error line says it.
    ScriptedDialogs noWindow;
    if (fonts.Load(dataFile, password, *codePage, noWindow)) {
        fonts.Install(registration, *codePage);
    } else {
        std::fprintf(stderr, "vantorix: %s: Failed to read font data.\n", dataFile.c_str());
    }
    std::vector<std::string> faces = FacesUsedBy(*project, *codePage);
    registration.ProvideSubstitutes(faces);
    for (const CKXTTFManager::FontEvent& event : fontEvents) {
        if (std::none_of(faces.begin(), faces.end(), [&](const std::string& f) { return SameFace(f, event.face); }))
            faces.push_back(event.face);
    }

    std::vector<FaceRow> rows;
    for (const std::string& face : faces) {
        FaceRow row{face, CKXQtFontRegistration::ResolvedFamily(face), "no", ""};
        auto embedded = std::find_if(fontEvents.begin(), fontEvents.end(),
                                     [&](const CKXTTFManager::FontEvent& e) { return SameFace(e.face, face); });
        auto provided = std::find_if(registration.provided.begin(), registration.provided.end(),
                                     [&](const CKXQtFontRegistration::Provided& p) { return SameFace(p.face, face); });
        bool isEmbedded = embedded != fontEvents.end();
        if (isEmbedded) row.embedded = "yes";
        if (isEmbedded && embedded->action == "installed") {
            row.how = "the project's own font";
        } else if (provided != registration.provided.end()) {
            const FontSubstitute* entry = FindFontSubstitute(face);
            bool metric = entry && entry->metricCompatible && SameFace(row.resolved, std::string(entry->families[0]));
            row.how = provided->how == "wine" ? "Wine's font " + provided->detail
                      : metric                ? "substitute, metric-compatible"
                                              : "substitute";
        } else if (CKXQtFontRegistration::HasFace(face)) {
            row.how = isEmbedded ? "the system's font (the embedded copy is not needed)" : "the system's font";
        } else {
            row.how = "missing: the system's fallback";
        }
        if (isEmbedded && embedded->action == "failed") row.how += "; the embedded font failed: " + embedded->detail;
        rows.push_back(row);
    }
    fonts.Remove(registration);

    std::size_t faceWidth = 4, resolvedWidth = 11;
    for (const FaceRow& row : rows) {
        faceWidth = std::max(faceWidth, row.face.size());
        resolvedWidth = std::max(resolvedWidth, row.resolved.size());
    }
    auto line = [&](const std::string& a, const std::string& b, const std::string& c, const std::string& d) {
        out << a << std::string(faceWidth + 2 - a.size(), ' ') << b << std::string(resolvedWidth + 2 - b.size(), ' ')
            << c << std::string(10 - std::min<std::size_t>(c.size(), 8), ' ') << d << "\n";
    };
    line("face", "resolves to", "embedded", "from");
    for (const FaceRow& row : rows) line(row.face, row.resolved, row.embedded, row.how);
    return 0;
}

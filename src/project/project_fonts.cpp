#include "project/project_fonts.h"

#include <algorithm>

#include "platform/ascii_case.h"
#include "platform/code_page.h"
#include "project/kx_font.h"
#include "project/vantorix_base_object.h"
#include "project/vantorix_menu_page.h"
#include "project/vantorix_project.h"

std::vector<std::string> FacesUsedBy(const CVantorixProject& project, const CodePage& codePage) {
    std::vector<std::string> faces;
    auto add = [&](const CKXFont& font) {
        std::string face = codePage.ToUtf8(font.faceName);
        if (face.empty()) return;
        bool known = std::any_of(faces.begin(), faces.end(),
                                 [&](const std::string& seen) { return EqualsIgnoringAsciiCase(seen, face); });
        if (!known) faces.push_back(face);
    };
    for (const auto& page : project.pages) {
        for (const auto& object : page->Objects()) object->ForEachFont(add);
    }
    return faces;
}

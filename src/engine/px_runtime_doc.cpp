#include "engine/px_runtime_doc.h"

#include <filesystem>

#include "actions/action_tables.h"
#include "platform/ascii_case.h"
#include "platform/dialogs.h"
#include "platform/windows_paths.h"
#include "project/archive_error.h"
#include "project/unzip_to_memory.h"
#include "project/vantorix_button_object.h"
#include "project/vantorix_event.h"
#include "project/vantorix_menu_page.h"
#include "script/lua50_dialect.h"
#include "script/lua_engine.h"
#include "script/script_environment.h"

namespace {

std::string PagePrefix(const std::string& pageName) { return "local this=\"" + pageName + "\";"; }

}  // namespace

CPXRuntimeDoc::CPXRuntimeDoc(CKXDialogs& dialogs, CKXFrameServices& frame, const CodePage& codePage)
    : CKXScriptDocument(dialogs, frame, codePage) {
    // Flash, the three kinds pages discard, and video.
    for (int first : {3000, 3200, 3400, 3600, 3800}) windowIdRanges.emplace_back(first, first + 199);
    scriptEngine = std::make_unique<CLUAEngine>(*this, ActionTables());
}

CPXRuntimeDoc::~CPXRuntimeDoc() {
    // Pages with their objects first, the script engine last.
    currentPage = nullptr;
    project.reset();
    scriptEngine.reset();
}

bool CPXRuntimeDoc::OnNewDocument(const std::string& executablePath, const std::string& entrySource,
                                  const std::string& password, CKXRegistry* registryStore) {
    backHistory.clear();
    forwardHistory.clear();
    std::string folder = std::filesystem::absolute(executablePath).parent_path().string();
    exeFolder = WindowsPathLayer::Instance().ToWindowsPath(folder);
    registry = registryStore;
    projectEntrySource = entrySource;
    if (!OnOpenDocument(projectEntrySource, password)) return false;
    project->info.pageLeaveMode = EffectivePageLeaveMode(project->info.pageLeaveMode, pageCount);
    BuildEnvironment(*scriptEngine, CollectBuiltInFolders(registry));
    RunEventScript(startupScript, "Startup", "");
    RunEventScript(project->info.globals.globalScript, "Globals", "");
    return true;
}

bool CPXRuntimeDoc::OnOpenDocument(const std::string& path, const std::string& password) {
    openedPath = path;
    ArchiveEntryResult entry = ReadArchiveEntry(path, projectEntryName, password.c_str());
    const char* failure = nullptr;
    switch (entry.status) {
        case ArchiveEntryStatus::NoDirectory: failure = "Failed to get archive directory listing."; break;
        case ArchiveEntryStatus::NoEntry: failure = "Failed to find project file in archive."; break;
        case ArchiveEntryStatus::ExtractFailed: failure = "Failed to extract project file to memory."; break;
        case ArchiveEntryStatus::Ok: break;
    }
    if (failure) {
        dialogs.MessageBox(failure, "", MB_OK);
        return false;
    }
    try {
        auto read = ReadProjectEntry(entry.bytes, codePage);
        // The pages of a project read before go with it: nothing may point into them.
        currentPage = nullptr;
        currentPageIndex = 0;
        storedRects.clear();
        offsetApplied = false;
        project = std::move(read);
    } catch (const CKXArchiveError& error) {
        // A damaged entry ends the run before anything of it is shown.
        dialogs.MessageBox(std::string("The project file is damaged: ") + error.what() + ".", "", MB_OK);
        return false;
    }
    const CVantorixStreamHeader& header = project->header;
    startupScript = header.startupScript;
    previewMode = header.previewMode != 0;
    suppressProjectEvents = header.suppressProjectEvents != 0;
    dataFolderName = header.dataFolderName;
    debugOnStart = header.debugOnStart != 0;
    doFlashCheck = project->doFlashCheck != 0;
    pageCount = static_cast<int>(project->pages.size());
    return true;
}

CVantorixMenuPage* CPXRuntimeDoc::Page(int index) const {
    if (!project || index < 0 || index >= pageCount) return nullptr;
    return project->pages[static_cast<std::size_t>(index)].get();
}

std::string CPXRuntimeDoc::PageName(int index) const {
    const CVantorixMenuPage* page = Page(index);
    return page ? page->pageName : std::string();
}

int CPXRuntimeDoc::FindPageIndex(const std::string& name) const {
    for (int i = 0; i < pageCount; ++i) {
        if (EqualsIgnoringAsciiCase(PageName(i), name)) return i;
    }
    return -1;
}

void CPXRuntimeDoc::SetNavigationGlobals(int index) {
    scriptEngine->SetGlobalString("_PagePrevious", index > 0 ? PageName(index - 1) : "");
    scriptEngine->SetGlobalString("_PageNext", index + 1 < pageCount ? PageName(index + 1) : "");
    scriptEngine->SetGlobalString("_PageCurrent", PageName(index));
}

bool CPXRuntimeDoc::DataFileReachable() const {
    return !projectEntrySource.empty() && std::filesystem::exists(projectEntrySource);
}

void CPXRuntimeDoc::RunPageEvent(const CVantorixMenuPage& page, const std::string& eventName,
                                 const std::string& prefix, bool withPrelude) {
    std::string context = page.pageName + " -> " + eventName;
    if (withPrelude) RunEventScript(page.GetPreludeScript(eventName), context, prefix);
    RunEventScript(page.GetEventScript(eventName), context, prefix);
}

void CPXRuntimeDoc::ShowPage(int index, bool force) {
    if (view) view->SetCaption(project ? project->info.projectTitle : "");
    if (!force && index == currentPageIndex && currentPage) return;
    if (view) view->EnableMainWindow();
    if (CVantorixMenuPage* leaving = currentPage) {
        RunPageEvent(*leaving, "On Close", PagePrefix(leaving->pageName), false);
        if (view) view->FocusMainWindow();
        bool everyObject = project->info.pageLeaveMode == 2;
        for (const RecordRef& record : leaving->pageObjects) {
            auto* object = static_cast<CVantorixBaseObject*>(record.get());
            bool ownsWindow = object->typeCode == kindFlash || object->typeCode == kindVideo;
            if ((everyObject || ownsWindow) && view) view->LeavePage(*object);
        }
        switchingPage = true;
        if (view) view->InvalidateView();
        switchingPage = false;
        for (CUniqueWindowIDMgr& range : windowIdRanges) range.ReleaseAll();
    }
    CVantorixMenuPage* entering = Page(index);
    if (entering) {
        bool reachable = DataFileReachable();
        if (!reachable) {
            int answer = IDRETRY;
            while (answer == IDRETRY && !reachable) {
                answer = dialogs.MessageBox("Please put the CD-ROM back in the drive.", "Insert Media",
                                            MB_RETRYCANCEL | MB_ICONEXCLAMATION);
                reachable = DataFileReachable();
            }
            if (!(reachable && answer == IDRETRY)) {
                if (view) view->PostClose();
                entering = nullptr;
            }
        }
    }
    if (entering) {
        currentPage = entering;
        currentPageIndex = index;
        if (onPageEntered) onPageEntered(index);
        SetNavigationGlobals(index);
        RunPageEvent(*entering, "On Preload", PagePrefix(entering->pageName), false);
        for (const RecordRef& record : entering->pageObjects) {
            auto* object = static_cast<CVantorixBaseObject*>(record.get());
            int disabledOffset = object->enabled ? 0 : 2;
            auto* button = dynamic_cast<CVantorixButtonObject*>(object);
            bool down = button && button->toggle && button->latched;
            bool showsDisabled = button || object->typeCode == kindLabel || object->typeCode == kindParagraph;
            // Labels, paragraphs and buttons show a disabled state; the other kinds start plain.
            object->displayState = showsDisabled ? (down ? 3 : 0) + disabledOffset : 0;
        }
        bool painted = !view || view->HasPainted();
        if (!painted) ApplyPageOffset();
        if (view) view->RedrawViewNow();
        if (painted && view) view->PostPageShown(index);
    }
    if (view) {
        view->RebuildTooltips();
        view->RefreshHover();
        view->UpdateView();
    }
}

void CPXRuntimeDoc::ApplyPageOffset() {
    if (!project) return;
    if (!offsetApplied) {
        for (const auto& page : project->pages) {
            for (const RecordRef& record : page->pageObjects) {
                auto* object = static_cast<CVantorixBaseObject*>(record.get());
                storedRects.emplace_back(object, object->rect);
            }
        }
        offsetApplied = true;
    }
    int x = view ? view->PageOriginX() : 0;
    int y = view ? view->PageOriginY() : 0;
    for (auto& [object, rect] : storedRects) {
        object->rect = {rect.left + x, rect.top + y, rect.right + x, rect.bottom + y};
    }
}

bool CPXRuntimeDoc::QueryAllowProjectClose() {
    lua_State* L = scriptEngine->luaState;
    int top = lua_gettop(L);
    lua_getfield(L, LUA_GLOBALSINDEX, "QueryAllowProjectClose");
    bool allow = true;
    if (lua_isfunction(L, -1) && lua_pcall(L, 0, 1, 0) == 0 && lua_isboolean(L, -1)) {
        allow = lua_toboolean(L, -1);
    }
    lua_settop(L, top);
    return allow;
}

bool CPXRuntimeDoc::RequestPageChange(int index, bool immediately) {
    if (!view) return true;
    if (!immediately) {
        view->PostJumpPage(index, true);
        return true;
    }
    if (pageChangeNesting >= maxPageChangeNesting) return false;
    ++pageChangeNesting;
    view->SendJumpPage(index, true);
    --pageChangeNesting;
    return true;
}

CVantorixBaseObject* CPXRuntimeDoc::FindObject(const std::string& name, int kind) const {
    if (!currentPage) return nullptr;
    for (const RecordRef& record : currentPage->pageObjects) {
        auto* object = static_cast<CVantorixBaseObject*>(record.get());
        if (object->typeCode == kind && object->objectName == name) return object;
    }
    return nullptr;
}

void CPXRuntimeDoc::RepaintObjectRect(const CVantorixBaseObject& object) {
    if (view) view->RedrawRectNow(object.rect);
}

void CPXRuntimeDoc::RedrawPage() {
    if (view) view->RedrawViewNow();
}

std::string EscapeForScript(const std::string& text) {
    std::string out = text;
    auto replaceAll = [&out](const std::string& from, const std::string& to) {
        std::string result;
        std::size_t start = 0, found;
        while ((found = out.find(from, start)) != std::string::npos) {
            result.append(out, start, found - start);
            result += to;
            start = found + from.size();
        }
        result.append(out, start, std::string::npos);
        out = result;
    };
    replaceAll("\\", "\\\\");
    replaceAll("\"", "\\\"");
    replaceAll("'", "\\'");
    replaceAll("\r\n", "\\r\\n");
    replaceAll("\t", "\\t");
    replaceAll("\a", "\\a");
    replaceAll("\b", "\\b");
    return out;
}

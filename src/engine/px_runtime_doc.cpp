#include "engine/px_runtime_doc.h"

#include <filesystem>
#include <string_view>

#include "engine/script_prefix.h"
#include "media/audio_binding.h"
#include "platform/ascii_case.h"
#include "platform/dialogs.h"
#include "platform/font_registration.h"
#include "platform/host_path.h"
#include "platform/shell_open.h"
#include "platform/windows_paths.h"
#include "project/archive_error.h"
#include "project/event_names.h"
#include "project/project_fonts.h"
#include "project/unzip_to_memory.h"
#include "project/vantorix_base_object.h"
#include "project/vantorix_menu_page.h"
#include "resources/flash_check.h"
#include "script/project_files.h"
#include "script/script_environment.h"

namespace {

const char* const audioStates[] = {"Finish", "Pause", "Play", "Stop"};

const char* TrueOrFalse(bool value) {
    return value ? "true" : "false";
}

}  // namespace

CPXRuntimeDoc::CPXRuntimeDoc(CKXDialogs& dialogs, CKXFrameServices& frame, const CodePage& codePage,
                             const std::vector<ActionTable>& tables, CKXSoundEngine* soundEngine)
    : CKXScriptDocument(dialogs, frame, codePage), audio(soundEngine) {
    // Flash, the three kinds pages discard, and video.
    for (int first : {3000, 3200, 3400, 3600, 3800}) windowIdRanges.emplace_back(first, first + 199);
    scriptEngine = std::make_unique<CLUAEngine>(*this, tables);
    BindAudioManager(scriptEngine->luaState, &audio);
    audio.SetHost(this);
    audio.hostPathOf = [](const std::string& path) { return WindowsPathLayer::Instance().ToHostPath(path); };
    audio.onEvent = [this](const char* action, int channel, const std::string& file, int result) {
        observer->AudioEvent(action, channel, file, result);
    };
    fonts.onFont = [this](const CKXTTFManager::FontEvent& event) { observer->FontEvent(event); };
}

std::function<void(const VideoLogEntry&)> CPXRuntimeDoc::VideoLog() const {
    return [this](const VideoLogEntry& entry) { observer->VideoEvent(entry); };
}

std::function<void(const FlashLogEntry&)> CPXRuntimeDoc::FlashLog() const {
    return [this](const FlashLogEntry& entry) { observer->FlashEvent(entry); };
}

CPXRuntimeDoc::~CPXRuntimeDoc() {
    // The channels first (their files and the playlist), then pages with their objects, the
    // script engine last.
    for (int channel = 0; channel < CFMODSoundManager::channelCount; ++channel) audio.Unload(channel);
    audio.SetHost(nullptr);
    audio.SetPlaylist(nullptr);
    currentPage = nullptr;
    project.reset();
    scriptEngine.reset();
}

void CPXRuntimeDoc::SetView(CPXViewServices* services) {
    view = services ? services : &nullView;
}

bool CPXRuntimeDoc::OnNewDocument(const std::string& executablePath, const std::string& entrySource,
                                  const std::string& password, CKXRegistry* registryStore) {
    history.Clear();
    std::string folder = std::filesystem::absolute(executablePath).parent_path().string();
    SetExeFolder(WindowsPathLayer::Instance().ToWindowsPath(folder));
    SetRegistry(registryStore);
    projectEntrySource = entrySource;
    if (!OnOpenDocument(projectEntrySource, password)) return false;
    transitions.Scan(PluginsFolderHostPath(*this));
    if (!ownTransitionsFolder.empty()) transitions.ScanAlso(ownTransitionsFolder);
    // A disc's transitions may be Windows libraries: the observer hears why each one cannot play.
    for (const CKXTransitionDLLManager::Skipped& skipped : transitions.SkippedFiles()) {
        observer->PluginSkipped(skipped.path, skipped.reason);
    }
    project->info.pageLeaveMode = EffectivePageLeaveMode(project->info.pageLeaveMode, pageCount);
    BuildEnvironment(*scriptEngine, CollectBuiltInFolders(Registry()));
    RunEventScript(startupScript, "Startup", "");
    RunEventScript(project->info.globals.globalScript, "Globals", "");
    // The scripts above may have changed whether the check is wanted.
    if (scriptEngine->GetGlobalBoolean("_DoFlashCheck")) RunFlashCheck();
    if (!previewMode) InstallFonts(password);
    // Installed fonts stand in for the faces that the pages name and that neither the system nor
    // the project has.
    if (fontRegistration) fontRegistration->ProvideSubstitutes(FacesUsedBy(*project, codePage));
    return true;
}

void CPXRuntimeDoc::RunFlashCheck() {
    if (!Registry()) return;
    FlashCheckTexts texts{GetNotificationMessage(*scriptEngine, "MissingFlashTitle"),
                          GetNotificationMessage(*scriptEngine, "MissingFlashMessage"),
                          GetNotificationMessage(*scriptEngine, "MissingFlashWebSite"),
                          GetNotificationMessage(*scriptEngine, "MissingFlashMinVersion")};
    ::RunFlashCheck(*Registry(), dialogs, texts, [this](const std::string& address) {
        if (openAddress) {
            openAddress(address);
        } else {
            ShellExecuteVerb("open", address, "", 1);
        }
    });
}

void CPXRuntimeDoc::InstallFonts(const std::string& password) {
    if (!HostPathExists(projectEntrySource)) return;
    if (!fonts.Load(projectEntrySource, password, codePage, dialogs)) {
        dialogs.MessageBox("Failed to read font data.", "", MB_OK);
        return;
    }
    if (fontRegistration) fonts.Install(*fontRegistration, codePage);
}

void CPXRuntimeDoc::RemoveFonts() {
    if (previewMode || !fontRegistration) return;
    fonts.Remove(*fontRegistration);
}

bool CPXRuntimeDoc::OnOpenDocument(const std::string& path, const std::string& password) {
    ArchiveEntryResult entry = ReadArchiveEntry(path, projectEntryName, password.c_str());
    if (const char* failure = ProjectEntryFailureMessage(entry.status)) {
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
        audio.SetPlaylist(&read->info.backgroundMusic);
        project = std::move(read);
    } catch (const CKXArchiveError& error) {
        // A damaged entry ends the run before anything of it is shown.
        dialogs.MessageBox(std::string("The project file is damaged: ") + error.what() + ".", "", MB_OK);
        return false;
    }
    const CVantorixStreamHeader& header = project->header;
    startupScript = header.startupScript;
    previewMode = header.previewMode != 0;
    SetSuppressProjectEvents(header.suppressProjectEvents != 0);
    SetDataFolderName(header.dataFolderName);
    debugOnStart = header.debugOnStart != 0;
    SetDoFlashCheck(project->doFlashCheck != 0);
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
    return HostPathExists(projectEntrySource);
}

void CPXRuntimeDoc::RunPageEvent(const CVantorixMenuPage& page, const char* eventName, const std::string& prefix,
                                 bool withPrelude) {
    std::string context = page.pageName + " -> " + eventName;
    bool preload = eventName == std::string_view(VxEvent::onPreload);
    if (withPrelude) RunEventScript(page.GetPreludeScript(eventName), context, prefix, preload);
    RunEventScript(page.GetEventScript(eventName), context, prefix, preload);
}

bool CPXRuntimeDoc::RunStartupEvents() {
    CVantorixProjectInfo& info = project->info;
    scriptEngine->SetGlobalString("_PageStart", info.startPageName);
    if (!SuppressProjectEvents()) {
        if (debugOnStart && previewMode) {
            RunEventScript("Debug.ShowWindow(true);\r\nDebug.SetTraceMode(true);\r\n", "Start Debug Mode", "");
        }
        RunEventScript(info.GetEventScript(VxEvent::onStartup), std::string("Project -> ") + VxEvent::onStartup, "");
    }
    return !ExitRequested();
}

void CPXRuntimeDoc::RunKeyEvent(int virtualKey, bool ctrl, bool alt, bool shift) {
    if (!currentPage || closed) return;
    std::string prefix =
        ScriptPrefix(currentPage->pageName, {"local e_Key=" + std::to_string(virtualKey), "local e_Modifiers = {}",
                                             std::string("e_Modifiers.ctrl=") + TrueOrFalse(ctrl),
                                             std::string("e_Modifiers.alt=") + TrueOrFalse(alt),
                                             std::string("e_Modifiers.shift=") + TrueOrFalse(shift)});
    RunPageEvent(*currentPage, VxEvent::onKey, prefix, true);
}

void CPXRuntimeDoc::RunShowEvent(int pageIndex) {
    if (closed) return;
    if (CVantorixMenuPage* page = Page(pageIndex)) {
        RunPageEvent(*page, VxEvent::onShow, ScriptPrefix(page->pageName), true);
    }
}

void CPXRuntimeDoc::RunAudioEvent(int state, int channel) {
    if (!currentPage || closed) return;
    const char* word = state >= 0 && state < 4 ? audioStates[state] : "";
    std::string prefix = ScriptPrefix(currentPage->pageName, {"local e_Channel=" + std::to_string(channel),
                                                              std::string("local e_State=\"") + word + "\""});
    RunPageEvent(*currentPage, VxEvent::onAudio, prefix, true);
}

void CPXRuntimeDoc::RunObjectEvent(const CVantorixBaseObject& object, const char* eventName, const char* contextName) {
    std::string script = object.GetEventScript(eventName);
    if (script.empty() || !currentPage || closed) return;
    RunEventScript(
        script, currentPage->pageName + " -> " + object.objectName + " -> " + (contextName ? contextName : eventName),
        ScriptPrefix(object.objectName));
}

void CPXRuntimeDoc::RunCloseEvents() {
    closing = true;
    if (currentPage) RunPageEvent(*currentPage, VxEvent::onClose, ScriptPrefix(currentPage->pageName), false);
    if (!SuppressProjectEvents() && project) {
        RunEventScript(project->info.GetEventScript(VxEvent::onShutdown),
                       std::string("Project -> ") + VxEvent::onShutdown, "");
    }
    closed = true;
}

std::string CPXRuntimeDoc::ResolveTrackPath(const std::string& name) {
    return ResolveSourcePath(*this, name);
}

bool CPXRuntimeDoc::QueryAllowProjectClose() {
    return scriptEngine->CallGlobalPredicate("QueryAllowProjectClose", true);
}

void CPXRuntimeDoc::PlayObjectSound(const ObjectSounds& sounds, bool hover) {
    if (closed) return;
    // Mode 1 plays the project's default sound, mode 2 the object's own file.
    int mode = hover ? sounds.hoverSoundMode : sounds.clickSoundMode;
    std::string file;
    if (mode == 1) file = hover ? project->info.defaultHoverSound : project->info.defaultClickSound;
    if (mode == 2) file = hover ? sounds.hoverSoundFile : sounds.clickSoundFile;
    std::string path = ResolveSourcePath(*this, file);
    if (path.empty()) return;
    if (audio.Load(CFMODSoundManager::effectsChannel, path, false) == 0) {
        audio.Play(CFMODSoundManager::effectsChannel);
    }
}

void CPXRuntimeDoc::ShowPage(int index, bool force) {
    view->SetCaption(project ? project->info.projectTitle : "");
    if (!force && index == currentPageIndex && currentPage) return;
    view->EnableMainWindow();
    const CKXTransitionDLLInfo* transition = currentPage ? LeaveCurrentPage(index) : nullptr;
    CVantorixMenuPage* entering = Page(index);
    // The page left is still the current one until the new one is entered.
    if (entering && transition) view->RunTransition(*transition, currentPage->transitionSettings);
    if (entering && MediaPresent()) EnterPage(*entering, index);
    view->FinishPageChange();
}

const CKXTransitionDLLInfo* CPXRuntimeDoc::LeaveCurrentPage(int nextIndex) {
    CVantorixMenuPage& leaving = *currentPage;
    RunPageEvent(leaving, VxEvent::onClose, ScriptPrefix(leaving.pageName), false);
    const CKXTransitionDLLInfo* transition =
        leaving.transitionName.empty() ? nullptr : transitions.FindByName(leaving.transitionName);
    if (transition && !view->CaptureTransitionPictures(nextIndex)) transition = nullptr;
    view->FocusMainWindow();
    view->LeavePage(leaving, project->info.pageLeaveMode == 2);
    switchingPage = true;
    view->InvalidateView();
    switchingPage = false;
    for (CUniqueWindowIDMgr& range : windowIdRanges) range.ReleaseAll();
    return transition;
}

bool CPXRuntimeDoc::MediaPresent() {
    if (DataFileReachable()) return true;
    int answer = IDRETRY;
    bool reachable = false;
    while (answer == IDRETRY && !reachable) {
        answer = dialogs.MessageBox("Please put the CD-ROM back in the drive.", "Insert Media",
                                    MB_RETRYCANCEL | MB_ICONEXCLAMATION);
        reachable = DataFileReachable();
    }
    if (reachable && answer == IDRETRY) return true;
    view->PostClose();
    return false;
}

void CPXRuntimeDoc::EnterPage(CVantorixMenuPage& page, int index) {
    currentPage = &page;
    currentPageIndex = index;
    observer->PageEntered(index, page.pageName);
    SetNavigationGlobals(index);
    RunPageEvent(page, VxEvent::onPreload, ScriptPrefix(page.pageName), false);
    view->ResetDisplayStates(page);
    bool painted = view->HasPainted();
    if (!painted) ApplyPageOffset();
    view->RedrawViewNow();
    if (painted) view->PostPageShown(index);
}

void CPXRuntimeDoc::RunPostedPageChange(int index, bool force) {
    if (!SuppressProjectEvents() && !closed) ShowPage(index, force);
}

void CPXRuntimeDoc::ApplyPageOffset() {
    if (!project) return;
    if (!offsetApplied) {
        for (const auto& page : project->pages) {
            for (const auto& object : page->Objects()) storedRects.emplace_back(object.get(), object->rect);
        }
        offsetApplied = true;
    }
    int x = view->PageOriginX();
    int y = view->PageOriginY();
    for (auto& [object, rect] : storedRects) {
        object->rect = {rect.left + x, rect.top + y, rect.right + x, rect.bottom + y};
    }
}

bool CPXRuntimeDoc::RequestPageChange(int index, bool immediately) {
    if (!view->Exists()) return true;
    if (!immediately) {
        view->PostJumpPage(index, true);
        return true;
    }
    if (pageChangeNesting >= maxPageChangeNesting) return false;
    ++pageChangeNesting;
    RunPostedPageChange(index, true);
    --pageChangeNesting;
    return true;
}

std::string CPXRuntimeDoc::RecordNavigation(NavigationStep step) {
    if (CurrentPageIndex() < 0) return {};
    return history.Record(step, PageName(CurrentPageIndex()));
}

CVantorixBaseObject* CPXRuntimeDoc::FindObject(const std::string& name, int kind) const {
    if (!currentPage) return nullptr;
    for (const auto& object : currentPage->Objects()) {
        if (object->typeCode == kind && object->objectName == name) return object.get();
    }
    return nullptr;
}

void CPXRuntimeDoc::RepaintObjectRect(const CVantorixBaseObject& object) {
    view->RedrawRectNow(object.rect);
}

void CPXRuntimeDoc::RedrawPage() {
    view->RedrawViewNow();
}

#include "script/script_document.h"

#include "platform/windows_paths.h"

#include <chrono>
#include <thread>

CKXScriptDocument::CKXScriptDocument(CKXDialogs& dialogs, CKXFrameServices& frame, const CodePage& codePage)
    : dialogs(dialogs), frame(frame), codePage(codePage) {
    WindowsPathLayer::Instance().SetTextCodePage(&codePage);
}

CKXScriptDocument::~CKXScriptDocument() {
    WindowsPathLayer::Instance().SetTextCodePage(nullptr);
}

std::string CKXScriptDocument::PathBesideExe(const std::string& relative) const {
    std::string folder = exeFolder;
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder + "\\" + relative;
}

void CKXFrameServices::PumpMessagesFiltered(int milliseconds) {
    // Without a window there is nothing to serve: wait without burning the processor.
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

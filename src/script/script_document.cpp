#include "script/script_document.h"

#include "platform/windows_paths.h"

#include <chrono>
#include <thread>

CKXScriptDocument::CKXScriptDocument(CKXDialogs& dialogs, CKXFrameServices& frame,
                                     const CodePage& codePage)
    : dialogs(dialogs), frame(frame), codePage(codePage) {
    WindowsPathLayer::Instance().SetTextCodePage(&codePage);
}

CKXScriptDocument::~CKXScriptDocument() { WindowsPathLayer::Instance().SetTextCodePage(nullptr); }

void CKXFrameServices::PumpMessagesFiltered(int milliseconds) {
    // Without a window there is nothing to serve: wait without burning the processor.
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

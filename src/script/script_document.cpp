#include "script/script_document.h"

#include <chrono>
#include <thread>

void CKXFrameServices::PumpMessagesFiltered(int milliseconds) {
    // Without a window there is nothing to serve: wait without burning the processor.
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

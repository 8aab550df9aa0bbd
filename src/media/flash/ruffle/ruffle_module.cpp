// The Flash player module: loaded by the player the first time a movie shows, so that a run
// without Flash never starts the web engine.
#include "media/flash/flash_window.h"
#include "media/flash/ruffle/ruffle_flash_window.h"

extern "C" __attribute__((visibility("default"))) CKXFlashWindow* vx_flash_create_window(const FlashWindowSetup& setup,
                                                                                         const char* rufflePath,
                                                                                         std::string* error) {
    if (!rufflePath || !*rufflePath) {
        if (error) *error = "no folder for Ruffle's files";
        return nullptr;
    }
    return new CRuffleFlashWindow(setup, QString::fromUtf8(rufflePath));
}

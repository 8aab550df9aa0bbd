#include "media/flash/flash_host.h"

#include <memory>

#include "platform/host_path.h"
#include "platform/shared_library.h"

CKXFlashHost& CKXFlashHost::Instance() {
    static CKXFlashHost host;
    return host;
}

void CKXFlashHost::Configure(std::string module, std::string ruffle) {
    modulePath = std::move(module);
    rufflePath = std::move(ruffle);
}

bool CKXFlashHost::Installed() const {
    return !modulePath.empty() && IsRegularFile(modulePath) && IsRegularFile(rufflePath + "/ruffle.js");
}

bool CKXFlashHost::Load(std::string& error) {
    if (tried) {
        error = loadError;
        return create != nullptr;
    }
    tried = true;
    if (modulePath.empty() || !IsRegularFile(modulePath)) {
        loadError = "the Flash player module is not installed";
    } else if (!IsRegularFile(rufflePath + "/ruffle.js")) {
        loadError = "Ruffle is not installed (" + rufflePath + ")";
    } else {
        auto opened = std::make_unique<CKXSharedLibrary>();
        std::string why;
        if (!opened->Open(modulePath, why)) {
            loadError = why;
        } else if (!(create = reinterpret_cast<CreateFlashWindowFunction>(opened->Symbol(createFlashWindowExport)))) {
            loadError = modulePath + ": no " + createFlashWindowExport;
        } else {
            library = opened.release();
        }
    }
    error = loadError;
    return create != nullptr;
}

std::unique_ptr<CKXFlashWindow> CKXFlashHost::CreateWindow(const FlashWindowSetup& setup, std::string& error) {
    std::unique_ptr<CKXFlashWindow> window;
    if (Load(error)) window.reset(create(setup, rufflePath.c_str(), &error));
    if (!window && setup.log) setup.log({"unavailable", setup.movieFile, error});
    return window;
}

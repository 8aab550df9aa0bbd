#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/shared_library.h"

// An object plugin's library.
struct CKXDLLPlugin {
    std::string path;
    CKXSharedLibrary library;
};

// Object plugins. Pages drop plugin objects when they are read, so no object plugin library is
// ever loaded: the list stays empty for the whole run, and the hook the application offers every
// message to finds nothing to call.
class CKXDLLPluginManager {
public:
    // Offers a message to each plugin; the answer never swallows the message.
    bool PreTranslateMessage(const void* message);
    std::size_t Count() const { return plugins.size(); }

private:
    std::vector<std::unique_ptr<CKXDLLPlugin>> plugins;
};

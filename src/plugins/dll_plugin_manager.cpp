#include "plugins/dll_plugin_manager.h"

bool CKXDLLPluginManager::PreTranslateMessage(const void*) {
    // Object plugins would see the message here; there are none.
    return false;
}

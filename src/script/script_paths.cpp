#include <string>

#include "platform/windows_paths.h"
#include "script/lua50_dialect.h"

std::string ScriptHostPath(const std::string& windowsPath) {
    return WindowsPathLayer::Instance().ToHostPath(windowsPath);
}

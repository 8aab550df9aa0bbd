#include "platform/shared_library.h"

#include <dlfcn.h>

#include "platform/host_path.h"

bool CKXSharedLibrary::Open(const std::string& path, std::string& error) {
    Close();
    if (!IsRegularFile(path)) {
        error = "not a file";
        return false;
    }
    // Every symbol resolved now, so that a library missing one fails here rather than in a call;
    // local, so that two plugins exporting the same names never see each other's.
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* message = dlerror();
        error = message ? message : "does not load";
        return false;
    }
    return true;
}

void CKXSharedLibrary::Close() {
    if (handle) dlclose(handle);
    handle = nullptr;
}

void* CKXSharedLibrary::Symbol(const char* name) const {
    return handle ? dlsym(handle, name) : nullptr;
}

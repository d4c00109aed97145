#include "binding/library_function.h"

#include <dlfcn.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include <map>
#include <mutex>

namespace platform {
namespace {

std::mutex& BindingMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string& FolderOverride() {
    static std::string folder;
    return folder;
}

#ifndef QR_INSTALL_LIBDIR
#define QR_INSTALL_LIBDIR "lib"
#endif

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ChooseProgramFolder() {
    const std::string own = ExecutableFolder();
    if (access(own.c_str(), W_OK) == 0) return own;
    const std::string user =
        PerUserFolder(std::getenv("XDG_CACHE_HOME"), std::getenv("HOME"), std::getenv("XDG_RUNTIME_DIR"));
    if (user.empty() || !MakePrivateFolder(user)) return {};
    return user;
}

}  // namespace

std::string PerUserFolder(const char* xdg_cache_home, const char* home, const char* xdg_runtime_dir) {
    std::string base;
    if (xdg_cache_home != nullptr && xdg_cache_home[0] == '/') {
        base = xdg_cache_home;
    } else if (home != nullptr && home[0] == '/') {
        base = std::string(home) + "/.cache";
    } else if (xdg_runtime_dir != nullptr && xdg_runtime_dir[0] == '/') {
        base = xdg_runtime_dir;
    } else {
        return {};
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/qrsuite";
}

bool MakePrivateFolder(const std::string& path) {
    if (path.empty() || path[0] != '/') return false;
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at == path.size() || path[at] == '/') mkdir(path.substr(0, at).c_str(), 0700);
    }
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
           (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::string ExecutableFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return ".";
    const std::string exe(path, static_cast<size_t>(n));
    const size_t slash = exe.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return exe.substr(0, slash);
}

namespace {

// Loaded libraries by full path; handles are kept until the program ends.
void* LoadLibraryOnce(const std::string& path, std::string* error) {
    static std::map<std::string, void*> loaded;
    const auto it = loaded.find(path);
    if (it != loaded.end()) return it->second;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        *error = why != nullptr ? why : "unknown error";
        return nullptr;
    }
    loaded.emplace(path, handle);
    return handle;
}

}  // namespace

std::string ProgramFolder() {
    std::lock_guard<std::mutex> lock(BindingMutex());
    if (!FolderOverride().empty()) return FolderOverride();
    static const std::string folder = ChooseProgramFolder();
    return folder;
}

std::string ProgramFile(std::string_view name) {
    const std::string folder = ProgramFolder();
    return folder.empty() ? std::string() : folder + "/" + std::string(name);
}

void OverrideProgramFolder(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    std::lock_guard<std::mutex> lock(BindingMutex());
    FolderOverride() = std::move(folder);
}

std::string LibraryPath(std::string_view library_name) {
    std::string name(library_name);
    const size_t slash = name.rfind('/');
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) name += ".dll";
    const std::string folder = ProgramFolder();
    const std::string beside = folder + "/" + name;
    if (!folder.empty() && FileExists(beside)) return beside;
    const std::string installed = ExecutableFolder() + "/../" QR_INSTALL_LIBDIR "/" + name;
    if (FileExists(installed) || folder.empty()) return installed;
    return beside;
}

BindError::BindError(std::string library, std::string export_name, std::string detail)
    : std::runtime_error(export_name.empty() ? "cannot load " + library + ": " + detail
                                             : "cannot find " + export_name + " in " + library + ": " + detail),
      library_(std::move(library)),
      export_name_(std::move(export_name)),
      detail_(std::move(detail)) {}

void* BindExport(std::string_view library_name, const char* export_name) {
    const std::string path = LibraryPath(library_name);
    std::lock_guard<std::mutex> lock(BindingMutex());
    std::string error;
    void* handle = LoadLibraryOnce(path, &error);
    if (handle == nullptr) throw BindError(std::string(library_name), "", error);
    if (export_name == nullptr || *export_name == '\0') {
        throw BindError(std::string(library_name), "?", "no export name given");
    }
    dlerror();
    void* address = dlsym(handle, export_name);
    if (address == nullptr) {
        const char* why = dlerror();
        throw BindError(std::string(library_name), export_name, why != nullptr ? why : "not exported");
    }
    return address;
}

}  // namespace platform

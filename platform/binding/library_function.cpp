#include "binding/library_function.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

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
  static const std::string folder = ExecutableFolder();
  return folder;
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
  return ProgramFolder() + "/" + name;
}

BindError::BindError(std::string library, std::string export_name, std::string detail)
    : std::runtime_error(export_name.empty() ? "cannot load " + library + ": " + detail
                                             : "cannot find " + export_name + " in " + library +
                                                   ": " + detail),
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

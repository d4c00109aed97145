// Binding of library functions by library file name and export name.
//
// A function is bound the first time it is called: the library file is
// loaded from the program folder and the export looked up. Both stay bound
// until the program ends; a library is never unloaded, so a function pointer
// handed out once stays valid.
#pragma once

#include <atomic>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// The folder the program writes its files to and loads its libraries from,
// without a trailing separator: the folder of the running program file when
// that folder is writable (the unpacked, portable layout); otherwise, for an
// installed program, the per-user folder (see PerUserFolder), created on
// first use with mode 0700 and used only while it is private: a folder (not
// a link) of this user that no one else may write. Empty when there is no
// such folder: nothing is written then, and only the installed libraries are
// loaded.
// Tests may point it at another folder before anything is bound.
std::string ProgramFolder();
void OverrideProgramFolder(std::string folder);

// Program folder + "/" + name, or empty when there is no program folder.
std::string ProgramFile(std::string_view name);

// The folder of the running program file itself.
std::string ExecutableFolder();

// The per-user folder used in place of an unwritable program folder, from
// the values of XDG_CACHE_HOME, HOME and XDG_RUNTIME_DIR (any may be null or
// empty): $XDG_CACHE_HOME/qrsuite, else $HOME/.cache/qrsuite, else
// $XDG_RUNTIME_DIR/qrsuite; empty without any of them (never a shared
// folder such as /tmp, where another user could have made it first).
std::string PerUserFolder(const char* xdg_cache_home, const char* home, const char* xdg_runtime_dir);

// Makes the folder (and any missing parent) with mode 0700 and checks that
// it is private: a folder, not a link, owned by the effective user, not
// writable by group or others. False when it is not.
bool MakePrivateFolder(const std::string& path);

// Program folder + "/" + name; a name without an extension gets ".dll".
// When no such file exists there, the library installed beside the program
// (<program file folder>/../<libdir>/name) is used if present.
std::string LibraryPath(std::string_view library_name);

// Why a binding failed. `export_name` is empty when the library itself
// could not be loaded.
class BindError : public std::runtime_error {
public:
    BindError(std::string library, std::string export_name, std::string detail);
    const std::string& library() const { return library_; }
    const std::string& export_name() const { return export_name_; }
    const std::string& detail() const { return detail_; }
    bool library_missing() const { return export_name_.empty(); }

private:
    std::string library_;
    std::string export_name_;
    std::string detail_;
};

// Looks `export_name` up in the named library (loading it on first use).
// Throws BindError when the library or the export cannot be found.
void* BindExport(std::string_view library_name, const char* export_name);

template <typename Signature>
class LibraryFunction;

// A function of a library, bound at its first call. Declare one per export,
// with static storage:
//   platform::LibraryFunction<void(const char*)> set_message{"Mosaire.dll", "QRSetMessage"};
template <typename R, typename... Args>
class LibraryFunction<R(Args...)> {
public:
    using Pointer = R (*)(Args...);

    constexpr LibraryFunction(const char* library_name, const char* export_name)
        : library_name_(library_name), export_name_(export_name) {}

    // Binds now if not yet bound; throws BindError on failure.
    Pointer Bind() {
        Pointer f = bound_.load(std::memory_order_acquire);
        if (f == nullptr) {
            f = reinterpret_cast<Pointer>(BindExport(library_name_, export_name_));
            bound_.store(f, std::memory_order_release);
        }
        return f;
    }

    R operator()(Args... args) { return Bind()(args...); }

    const char* library_name() const { return library_name_; }
    const char* export_name() const { return export_name_; }

private:
    const char* library_name_;
    const char* export_name_;
    std::atomic<Pointer> bound_{nullptr};
};

}  // namespace platform

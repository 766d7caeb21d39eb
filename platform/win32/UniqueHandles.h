#pragma once

// One move-only owner per kind of Windows handle, each closed the way its
// kind requires.

#include <windows.h>

#include <string>
#include <utility>

template <typename Handle, typename Traits> class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(const UniqueHandle &) = delete;
    UniqueHandle &operator=(const UniqueHandle &) = delete;
    UniqueHandle(UniqueHandle &&other) noexcept : handle_(other.release()) {}
    UniqueHandle &operator=(UniqueHandle &&other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return handle_; }
    // For an API that hands the handle back through an out-parameter: the
    // handle held so far is closed first.
    Handle *put() noexcept {
        reset();
        return &handle_;
    }
    explicit operator bool() const noexcept { return handle_ != Traits::Invalid(); }
    Handle release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
    void reset(Handle handle = Traits::Invalid()) noexcept {
        const Handle old = std::exchange(handle_, handle);
        if (old != Traits::Invalid()) {
            Traits::Close(old);
        }
    }

private:
    Handle handle_ = Traits::Invalid();
};

struct FindHandleTraits {
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) noexcept { FindClose(handle); }
};
struct KernelHandleTraits {
    static HANDLE Invalid() noexcept { return nullptr; }
    static void Close(HANDLE handle) noexcept { CloseHandle(handle); }
};
struct FileHandleTraits {
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) noexcept { CloseHandle(handle); }
};
// Memory the system handed out with LocalAlloc (a security descriptor, a
// SID's text).
struct LocalMemoryTraits {
    static HLOCAL Invalid() noexcept { return nullptr; }
    static void Close(HLOCAL memory) noexcept { LocalFree(memory); }
};
struct RegistryKeyTraits {
    static HKEY Invalid() noexcept { return nullptr; }
    static void Close(HKEY key) noexcept { RegCloseKey(key); }
};
struct FontTraits {
    static HFONT Invalid() noexcept { return nullptr; }
    static void Close(HFONT font) noexcept { DeleteObject(font); }
};
struct WindowTraits {
    static HWND Invalid() noexcept { return nullptr; }
    static void Close(HWND window) noexcept { DestroyWindow(window); }
};

struct ModuleTraits {
    static HMODULE Invalid() noexcept { return nullptr; }
    static void Close(HMODULE module) noexcept { FreeLibrary(module); }
};

using unique_find = UniqueHandle<HANDLE, FindHandleTraits>;
using unique_handle = UniqueHandle<HANDLE, KernelHandleTraits>;
using unique_hfile = UniqueHandle<HANDLE, FileHandleTraits>;
using unique_hlocal = UniqueHandle<HLOCAL, LocalMemoryTraits>;
using unique_hkey = UniqueHandle<HKEY, RegistryKeyTraits>;
using unique_hfont = UniqueHandle<HFONT, FontTraits>;
using unique_hwnd = UniqueHandle<HWND, WindowTraits>;
using unique_hmodule = UniqueHandle<HMODULE, ModuleTraits>;

// A hive file loaded with RegLoadKeyW as a key under HKEY_USERS or
// HKEY_LOCAL_MACHINE, unloaded when its owner goes away. Every key opened
// inside it must be closed first, or the unload fails.
class unique_hive {
public:
    unique_hive() noexcept = default;
    unique_hive(const unique_hive &) = delete;
    unique_hive &operator=(const unique_hive &) = delete;
    unique_hive(unique_hive &&other) noexcept
        : root_(std::exchange(other.root_, nullptr)), name_(std::move(other.name_)) {}
    unique_hive &operator=(unique_hive &&other) noexcept {
        reset();
        root_ = std::exchange(other.root_, nullptr);
        name_ = std::move(other.name_);
        return *this;
    }
    ~unique_hive() { reset(); }

    // Loads file as root\name, unloading the hive held so far first; gives
    // the registry's status. Needs SeBackupPrivilege and SeRestorePrivilege
    // enabled in the process's token.
    LSTATUS load(HKEY root, const std::wstring &name, const std::wstring &file) {
        reset();
        const LSTATUS status = RegLoadKeyW(root, name.c_str(), file.c_str());
        if (status == ERROR_SUCCESS) {
            root_ = root;
            name_ = name;
        }
        return status;
    }
    explicit operator bool() const noexcept { return root_ != nullptr; }
    void reset() noexcept {
        if (root_ != nullptr) {
            RegUnLoadKeyW(std::exchange(root_, nullptr), name_.c_str());
        }
    }

private:
    HKEY root_ = nullptr;
    std::wstring name_;
};

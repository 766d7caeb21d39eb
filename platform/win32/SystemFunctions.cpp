#include "platform/win32/SystemFunctions.h"

#include "base/AppError.h"
#include "platform/win32/SystemLibrary.h"

#include <optional>

namespace {

// Loads name into library, which keeps it for the rest of the process so
// the addresses found in it stay valid; false if it cannot be loaded.
bool Load(std::optional<SystemLibrary> &library, const wchar_t *name) noexcept {
    try {
        library.emplace(name);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace

const Kernel32Functions &Kernel32() {
    static std::optional<SystemLibrary> library;
    static const Kernel32Functions functions = [] {
        Kernel32Functions table;
        if (Load(library, L"kernel32.dll")) {
            table.setDefaultDllDirectories =
                library->Find<decltype(table.setDefaultDllDirectories)>("SetDefaultDllDirectories");
        }
        return table;
    }();
    return functions;
}

const User32Functions &User32() {
    static std::optional<SystemLibrary> library;
    static const User32Functions functions = [] {
        User32Functions table;
        if (Load(library, L"user32.dll")) {
            table.getDpiForWindow =
                library->Find<decltype(table.getDpiForWindow)>("GetDpiForWindow");
            table.adjustWindowRectExForDpi =
                library->Find<decltype(table.adjustWindowRectExForDpi)>("AdjustWindowRectExForDpi");
        }
        return table;
    }();
    return functions;
}

#include "ModuleSnapshot.h"

#include "platform/win32/UniqueHandles.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cwctype>
#include <stdexcept>

std::set<std::wstring> ModuleNamesOf(DWORD processId) {
    const unique_hfile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    if (!snapshot) {
        throw std::runtime_error("no module snapshot of the process: error " +
                                 std::to_string(GetLastError()));
    }
    std::set<std::wstring> names;
    MODULEENTRY32W module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32FirstW(snapshot.get(), &module); more;
         more = Module32NextW(snapshot.get(), &module)) {
        std::wstring name = module.szModule;
        std::transform(name.begin(), name.end(), name.begin(),
                       [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
        names.insert(name);
    }
    return names;
}

// DLLs come from the system folder only: one lying beside the program, as in
// a downloads folder, is never taken. torvane_planted.dll lies beside this
// test program and nowhere else.

#include "platform/win32/SystemLibrary.h"
#include "base/AppError.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/Win32Application.h"

#include <gtest/gtest.h>

namespace {

constexpr wchar_t BesideOnly[] = L"torvane_planted.dll";

std::wstring BesideThisProgram(const wchar_t *name) {
    const std::wstring self = ExecutablePath();
    return self.substr(0, self.find_last_of(L'\\') + 1) + name;
}

// Whether the ordinary search by name finds the DLL, loaded as data so that
// nothing of it runs.
bool FoundAsData(const wchar_t *name) {
    return static_cast<bool>(
        unique_hmodule(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_AS_DATAFILE)));
}

// Whether loading the DLL by name, as the program and the system's own DLLs
// do, finds it.
bool Loads(const wchar_t *name) { return static_cast<bool>(unique_hmodule(LoadLibraryW(name))); }

TEST(SystemLibraryTest, GivesTheFunctionsOfASystemDll) {
    const SystemLibrary version(L"version.dll");
    const auto getSize = version.Get<decltype(&GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW");
    DWORD ignored = 0xdeadbeef;
    EXPECT_NE(0u, getSize(BesideThisProgram(L"Torvane.exe").c_str(), &ignored));
}

TEST(SystemLibraryTest, AMissingFunctionIsAnError) {
    const SystemLibrary version(L"version.dll");
    try {
        version.Get<FARPROC>("NoSuchFunction");
        FAIL() << "a function that does not exist was found";
    } catch (const AppError &error) {
        EXPECT_TRUE(error.IsWin32(ERROR_PROC_NOT_FOUND)) << error.Number();
    }
}

TEST(SystemLibraryTest, NeverTakesADllBesideTheProgram) {
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(BesideThisProgram(BesideOnly).c_str()));
    try {
        const SystemLibrary planted(BesideOnly);
        FAIL() << "the DLL beside the program was loaded";
    } catch (const AppError &error) {
        EXPECT_TRUE(error.IsWin32(ERROR_MOD_NOT_FOUND)) << error.Number();
    }
}

TEST(DllSearchTest, LeavesTheProgramsFolderOutOfTheSearch) {
    ASSERT_TRUE(FoundAsData(BesideOnly)) << "the ordinary search does not look beside the program";
    RestrictDllSearchToSystemFolder();
    EXPECT_FALSE(Loads(BesideOnly));
    EXPECT_TRUE(Loads(L"version.dll"));
}

} // namespace

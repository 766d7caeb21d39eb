// The machine's folders as Windows defines them: the same as the
// environment Windows gives every process names.

#include "platform/win32/Win32SystemFolders.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/WideText.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::wstring Variable(const wchar_t *name) {
    std::vector<wchar_t> value(32768);
    const DWORD length =
        GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    return std::wstring(value.data(), length);
}

bool Contains(const std::vector<std::string> &folders, const std::wstring &folder) {
    for (const std::string &listed : folders) {
        if (SamePathText(Widen(listed), folder)) {
            return true;
        }
    }
    return false;
}

TEST(Win32SystemFolders, VirtualizedFoldersAreTheMachinesOwnOnce) {
    Win32SystemFolders folders;
    const std::vector<std::string> virtualized = folders.VirtualizedFolders();

    for (const wchar_t *variable : {L"ProgramFiles", L"ProgramData", L"windir"}) {
        EXPECT_TRUE(Contains(virtualized, FullForm(Variable(variable)))) << Narrow(variable);
    }
    for (std::size_t i = 0; i < virtualized.size(); ++i) {
        const DWORD attributes = GetFileAttributesW(Widen(virtualized[i]).c_str());
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, attributes) << virtualized[i];
        EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << virtualized[i];
        EXPECT_EQ(virtualized[i], Narrow(FullForm(Widen(virtualized[i]))));
        for (std::size_t j = 0; j < i; ++j) {
            EXPECT_FALSE(SamePathText(Widen(virtualized[i]), Widen(virtualized[j])))
                << virtualized[i] << " is listed twice";
        }
    }
}

// Both Program Files, also to a 32-bit process, whose own view of the
// registry and whose ProgramFiles name only the 32-bit one; they alone are
// where programs are installed.
TEST(Win32SystemFolders, VirtualizedFoldersHoldBothProgramFiles) {
    Win32SystemFolders folders;
    const std::vector<std::string> virtualized = folders.VirtualizedFolders();
    const std::vector<std::string> programFiles = folders.ProgramFilesFolders();
    for (const wchar_t *variable : {L"ProgramW6432", L"ProgramFiles(x86)"}) {
        const std::wstring folder = Variable(variable);
        if (!folder.empty()) {
            EXPECT_TRUE(Contains(virtualized, FullForm(folder))) << Narrow(variable);
            EXPECT_TRUE(Contains(programFiles, FullForm(folder))) << Narrow(variable);
        }
    }
    for (const wchar_t *variable : {L"ProgramData", L"windir"}) {
        EXPECT_FALSE(Contains(programFiles, FullForm(Variable(variable)))) << Narrow(variable);
    }
}

TEST(Win32SystemFolders, LocalAppDataIsTheUsers) {
    Win32SystemFolders folders;
    EXPECT_EQ(Narrow(FullForm(Variable(L"LOCALAPPDATA"))), folders.LocalAppData());
}

} // namespace

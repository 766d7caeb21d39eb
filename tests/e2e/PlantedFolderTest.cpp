// A hostile download folder: Torvane.exe beside a planted DLL for every name
// that matters, each leaving a mark when anything loads it. The script that
// runs this test (planted-folder) chooses the names, gives them here in
// TORVANE_PLANTED_DLLS and makes them native-first for Wine, which otherwise
// prefers its own copies and would hide a planted one.

#include "E2eTest.h"
#include "WholeJob.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Application.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace {

constexpr wchar_t PlantedDllName[] = L"torvane_planted.dll";

std::wstring Environment(const wchar_t *name) {
    std::wstring value(32768, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return value;
}

// A comma-separated list of DLL names from the environment.
std::vector<std::wstring> NamesFrom(const wchar_t *variable) {
    std::vector<std::wstring> names;
    std::wistringstream list(Environment(variable));
    for (std::wstring name; std::getline(list, name, L',');) {
        if (!name.empty()) {
            names.push_back(name);
        }
    }
    return names;
}

// The name as Wine's overrides give it: without ".dll".
std::wstring OverrideName(const std::wstring &name) {
    const std::wstring dll = L".dll";
    const bool isDll = name.size() > dll.size() && name.compare(name.size() - 4, 4, dll) == 0;
    return isDll ? name.substr(0, name.size() - dll.size()) : name;
}

// The marks planted DLLs left in folder, sorted.
std::vector<std::wstring> MarksIn(const std::wstring &folder) {
    std::vector<std::wstring> marks;
    WIN32_FIND_DATAW entry{};
    unique_find search(FindFirstFileW((folder + L"\\*.mark").c_str(), &entry));
    if (search) {
        do {
            marks.push_back(entry.cFileName);
        } while (FindNextFileW(search.get(), &entry));
    }
    std::sort(marks.begin(), marks.end());
    return marks;
}

std::wstring BesideThisProgram(const std::wstring &name) {
    const std::wstring self = ExecutablePath();
    return self.substr(0, self.find_last_of(L'\\') + 1) + name;
}

using PlantedFolderTest = E2eTest;

TEST_F(PlantedFolderTest, NoPlantedDllRunsAndTheJobStillWorks) {
    const std::vector<std::wstring> names = NamesFrom(L"TORVANE_PLANTED_DLLS");
    ASSERT_FALSE(names.empty()) << "no names in TORVANE_PLANTED_DLLS: run through planted-folder";
    const std::wstring overrides = Environment(L"WINEDLLOVERRIDES");
    const std::wstring executable = folder_ / L"Torvane.exe";
    ASSERT_TRUE(CopyFileW(BuiltTorvane().c_str(), executable.c_str(), TRUE));
    for (const std::wstring &name : names) {
        ASSERT_NE(std::wstring::npos, overrides.find(OverrideName(name)))
            << Narrow(name) << " is not in WINEDLLOVERRIDES: " << Narrow(overrides);
        ASSERT_TRUE(
            CopyFileW(BesideThisProgram(PlantedDllName).c_str(), (folder_ / name).c_str(), TRUE))
            << "cannot plant " << Narrow(name);
    }
    const std::wstring database = MakeFile(L"QvxData.mdb");
    setting_.Store(database);

    EXPECT_NO_THROW({
        TorvaneProcess torvane(executable);
        RunWholeJob(torvane, database, [] {});
    });

    EXPECT_TRUE(Exists(database + L".Advanced"));
    // Under Wine only: DLLs that Wine's own DLLs load whatever the program
    // does (see planted-folder). On Windows none would run.
    std::vector<std::wstring> wineMarks;
    for (const std::wstring &name : NamesFrom(L"TORVANE_WINE_LOADS_ANYWAY")) {
        wineMarks.push_back(name + L".mark");
    }
    std::sort(wineMarks.begin(), wineMarks.end());
    EXPECT_EQ(wineMarks, MarksIn(folder_.Path())) << "planted DLLs ran inside Torvane";
}

} // namespace

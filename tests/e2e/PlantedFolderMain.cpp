// The planted-folder test program. With --whole-job-modules it runs the whole
// job once in a clean folder and prints, one "module: name" line each, the
// modules the program had loaded just before its last OK; the script that
// runs the test plants DLLs under those names. Otherwise it runs the test.

#include "DatabaseSetting.h"
#include "ModuleSnapshot.h"
#include "TempFolder.h"
#include "TorvaneProcess.h"
#include "WholeJob.h"
#include "platform/win32/WideText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

int PrintWholeJobModules() {
    try {
        const TempFolder folder(L"torvane-modules");
        const DatabaseSetting setting;
        const std::wstring database = folder / L"QvxData.mdb";
        WriteFile(database, "Standard Jet DB");
        setting.Store(database);
        std::set<std::wstring> modules;
        {
            const TorvaneProcess torvane;
            RunWholeJob(torvane, database, [&] { modules = ModuleNamesOf(torvane.ProcessId()); });
        }
        for (const std::wstring &module : modules) {
            std::printf("module: %s\n", Narrow(module).c_str());
        }
        return modules.empty() ? 1 : 0;
    } catch (const std::exception &failure) {
        std::fprintf(stderr, "the whole job failed: %s\n", failure.what());
        return 1;
    }
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 2 && std::strcmp(argv[1], "--whole-job-modules") == 0) {
        return PrintWholeJobModules();
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// /check against the states a quiet run meets: each exits as the run's plan
// says, with every folder it looked in byte for byte as it was, and never a
// window. A copy held open answers 32, as the rename would meet it.

#include "E2eTest.h"
#include "FolderContents.h"
#include "QuietRun.h"
#include "platform/win32/UniqueHandles.h"

#include <vector>

namespace {

const std::wstring Adv = L".Advanced";

struct CheckCase {
    const char *name;
    bool defaultPath; // no /path: the default and its VirtualStore copy
    bool restore;
    std::vector<const wchar_t *> files; // "db", "db.Advanced", "copy", "copy.Advanced"
    const wchar_t *heldOpen;            // one of them, held without delete sharing
    DWORD exitCode;
};

class CheckStateTest : public E2eTest, public ::testing::WithParamInterface<CheckCase> {
protected:
    std::wstring PathOf(const CheckCase &c, const std::wstring &name) const {
        const std::wstring db = c.defaultPath ? DefaultDatabase::Path : folder_ / L"db.mdb";
        const bool renamed = name.size() > Adv.size() &&
                             name.compare(name.size() - Adv.size(), Adv.size(), Adv) == 0;
        const std::wstring suffix = renamed ? Adv : L"";
        return (name.rfind(L"copy", 0) == 0 ? virtualStoreCopy_.Path() : db) + suffix;
    }
    std::vector<FolderContents> Snapshot() const {
        const std::wstring &copy = virtualStoreCopy_.Path();
        return {ContentsOf(folder_.Path()), ContentsOf(DefaultDatabase::Folder),
                ContentsOf(copy.substr(0, copy.rfind(L'\\')))};
    }
};

unique_hfile HoldOpen(const std::wstring &path) {
    // Without FILE_SHARE_DELETE, as a running database engine holds it.
    return unique_hfile(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
}

TEST_P(CheckStateTest, ExitsAsThePlanSaysAndChangesNothing) {
    const CheckCase &c = GetParam();
    for (const wchar_t *file : c.files) {
        WriteFile(PathOf(c, file), SampleBytes);
    }
    unique_hfile held;
    if (c.heldOpen != nullptr) {
        held = HoldOpen(PathOf(c, c.heldOpen));
        ASSERT_TRUE(held);
    }
    std::vector<std::wstring> arguments{L"/check"};
    if (c.restore) {
        arguments.emplace_back(L"/restore");
    }
    if (!c.defaultPath) {
        arguments.insert(arguments.end(), {L"/path", folder_ / L"db.mdb"});
    }
    const std::vector<FolderContents> before = Snapshot();
    const QuietRun run = RunTorvane(arguments);
    EXPECT_EQ(c.exitCode, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("Would change ")) << run.output;
    EXPECT_EQ(before, Snapshot());
    EXPECT_TRUE(run.windowsSeen.empty()) << ::testing::PrintToString(run.windowsSeen);
}

INSTANTIATE_TEST_SUITE_P(
    When, CheckStateTest,
    ::testing::Values(
        CheckCase{"ADatabase", false, false, {L"db"}, nullptr, 1},
        CheckCase{"OneAlreadySetAside", false, false, {L"db.Advanced"}, nullptr, 0},
        CheckCase{"BothNames", false, false, {L"db", L"db.Advanced"}, nullptr, 183},
        CheckCase{"Nothing", false, false, {}, nullptr, ERROR_FILE_NOT_FOUND},
        CheckCase{"ADatabaseHeldOpen", false, false, {L"db"}, L"db", ERROR_SHARING_VIOLATION},
        CheckCase{"TheVirtualStoreCopy", true, false, {L"copy", L"db"}, nullptr, 1},
        CheckCase{"TheVirtualStoreCopyHeldOpen",
                  true,
                  false,
                  {L"copy", L"db"},
                  L"copy",
                  ERROR_SHARING_VIOLATION},
        CheckCase{"ToRestore", false, true, {L"db.Advanced"}, nullptr, 1},
        CheckCase{"AlreadyRestored", true, true, {L"copy", L"db"}, nullptr, 0}),
    CaseName());

using CheckTest = E2eTest;

TEST_F(CheckTest, ACheckWithoutAConsoleShowsNoWindowEither) {
    const std::wstring db = MakeFile(L"db.mdb");
    const FolderContents before = ContentsOf(folder_.Path());
    const QuietRun run = RunTorvaneWithoutConsole({L"/check", L"/path", db});
    EXPECT_EQ(1U, run.exitCode);
    EXPECT_TRUE(run.windowsSeen.empty()) << ::testing::PrintToString(run.windowsSeen);
    EXPECT_EQ(before, ContentsOf(folder_.Path()));
}

} // namespace

// The user's VirtualStore copy of the default database, which Windows would
// make for a legacy program and Wine never does: put in place by the test,
// and set aside by the window and the command line along with the file.

#include "E2eTest.h"
#include "QuietRun.h"
#include "TestLink.h"
#include "UserInput.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"

namespace {

const std::wstring Db = DefaultDatabase::Path;
const std::wstring Adv = L".Advanced";

class VirtualStoreTest : public E2eTest {
protected:
    std::wstring Copy() const { return virtualStoreCopy_.Path(); }

    void ClickRename(const TorvaneProcess &torvane) const { Click(torvane.Control("cmdRename")); }
    void ExpectRenamedMessage(const TorvaneProcess &torvane) const {
        ExpectMessage(torvane, L"File has been renamed to:\r\n\r\n" + Db + Adv);
        EXPECT_EQ(0U, torvane.WaitForExit());
    }
    // The standard report of a failure, then the end with code 1.
    void ExpectReport(const TorvaneProcess &torvane, DWORD error) const {
        const ShownMessage message = torvane.WaitForMessageBox();
        EXPECT_EQ(MessageTitle, message.title);
        const std::wstring heading = L"Error " + std::to_wstring(error) + L":\r\n\r\n";
        EXPECT_EQ(heading, message.text.substr(0, heading.size())) << Narrow(message.text);
        torvane.Acknowledge(message);
        EXPECT_EQ(1U, torvane.WaitForExit());
    }
};

TEST_F(VirtualStoreTest, TheWindowShowsThePathWhenOnlyTheCopyExistsAndSetsItAside) {
    virtualStoreCopy_.Create(SampleBytes);
    TorvaneProcess torvane;
    EXPECT_EQ(Db, DatabaseText(torvane)) << "the path, never the copy's";
    ClickRename(torvane);
    ExpectRenamedMessage(torvane);
    EXPECT_EQ(SampleBytes, ReadFile(Copy() + Adv));
    EXPECT_FALSE(Exists(Copy()));
    EXPECT_FALSE(Exists(Db + Adv));
}

TEST_F(VirtualStoreTest, TheWindowSetsAsideBothCopies) {
    defaultDatabase_.Create("installer's copy");
    virtualStoreCopy_.Create(SampleBytes);
    TorvaneProcess torvane;
    ClickRename(torvane);
    ExpectRenamedMessage(torvane);
    EXPECT_EQ("installer's copy", ReadFile(Db + Adv));
    EXPECT_EQ(SampleBytes, ReadFile(Copy() + Adv));
}

struct TakenCase {
    const char *name;
    bool copysNameTaken; // else the file's
};

class TakenNameTest : public VirtualStoreTest, public ::testing::WithParamInterface<TakenCase> {};

TEST_P(TakenNameTest, NothingIsRenamedAndTheReportNames183) {
    defaultDatabase_.Create("installer's copy");
    virtualStoreCopy_.Create(SampleBytes);
    WriteFile((GetParam().copysNameTaken ? Copy() : Db) + Adv, "earlier");
    TorvaneProcess torvane;
    ClickRename(torvane);
    ExpectReport(torvane, ERROR_ALREADY_EXISTS);
    EXPECT_EQ("installer's copy", ReadFile(Db));
    EXPECT_EQ(SampleBytes, ReadFile(Copy()));
    EXPECT_EQ("earlier", ReadFile((GetParam().copysNameTaken ? Copy() : Db) + Adv));
    EXPECT_FALSE(Exists((GetParam().copysNameTaken ? Db : Copy()) + Adv));
}

INSTANTIATE_TEST_SUITE_P(When, TakenNameTest,
                         ::testing::Values(TakenCase{"TheCopysNameIsTaken", true},
                                           TakenCase{"TheFilesNameIsTakenTheCopysFree", false}),
                         CaseName());

unique_hfile HoldOpen(const std::wstring &path) {
    // Without FILE_SHARE_DELETE, as a running database engine holds it.
    return unique_hfile(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
}

TEST_F(VirtualStoreTest, TheCopyHeldOpenStopsTheWindowBeforeAnythingIsRenamed) {
    defaultDatabase_.Create("installer's copy");
    virtualStoreCopy_.Create(SampleBytes);
    const unique_hfile held = HoldOpen(Copy());
    ASSERT_TRUE(held);
    TorvaneProcess torvane;
    ClickRename(torvane);
    ExpectReport(torvane, ERROR_SHARING_VIOLATION);
    EXPECT_TRUE(Exists(Copy()));
    EXPECT_TRUE(Exists(Db));
}

struct QuietCase {
    const char *name;
    bool file;
    bool copy;
    bool restore;
    DWORD exitCode;
};

class QuietVirtualStoreTest : public VirtualStoreTest,
                              public ::testing::WithParamInterface<QuietCase> {};

TEST_P(QuietVirtualStoreTest, EachCopyIsMovedWithALineOfItsOwn) {
    const QuietCase &c = GetParam();
    const std::wstring suffix = c.restore ? Adv : L"";
    if (c.file) {
        WriteFile(Db + suffix, "installer's copy");
    }
    if (c.copy) {
        WriteFile(Copy() + suffix, SampleBytes);
    }
    const QuietRun run = c.restore ? RunTorvane({L"/restore", L"/quiet"}) : RunTorvane({L"/quiet"});
    EXPECT_EQ(c.exitCode, run.exitCode) << run.output;
    const std::wstring after = c.restore ? L"" : Adv;
    EXPECT_EQ(c.file, Exists(Db + after));
    EXPECT_EQ(c.copy, Exists(Copy() + after));
    // The copy first, each line with both full paths.
    const std::string verb = c.restore ? "Restored " : "Renamed ";
    const std::size_t copyLine = run.output.find(verb + Narrow(Copy() + suffix) + " to ");
    const std::size_t fileLine = run.output.find(verb + Narrow(Db + suffix) + " to ");
    EXPECT_EQ(c.copy, copyLine != std::string::npos) << run.output;
    EXPECT_EQ(c.file, fileLine != std::string::npos) << run.output;
    if (c.copy && c.file) {
        EXPECT_LT(copyLine, fileLine) << run.output;
    }
    // A second run finds it done and touches nothing.
    const QuietRun again =
        c.restore ? RunTorvane({L"/restore", L"/quiet"}) : RunTorvane({L"/quiet"});
    EXPECT_EQ(c.exitCode == 0 ? 0U : c.exitCode, again.exitCode) << again.output;
}

INSTANTIATE_TEST_SUITE_P(When, QuietVirtualStoreTest,
                         ::testing::Values(QuietCase{"OnlyTheCopy", false, true, false, 0},
                                           QuietCase{"Both", true, true, false, 0},
                                           QuietCase{"RestoreOnlyTheCopy", false, true, true, 0},
                                           QuietCase{"Neither", false, false, false,
                                                     ERROR_FILE_NOT_FOUND}),
                         CaseName());

TEST_F(VirtualStoreTest, TheQuietRunStopsAtTheCopyHeldOpen) {
    defaultDatabase_.Create("installer's copy");
    virtualStoreCopy_.Create(SampleBytes);
    const unique_hfile held = HoldOpen(Copy());
    const QuietRun run = RunTorvane({L"/quiet"});
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), run.exitCode) << run.output;
    EXPECT_EQ(0U, run.output.find("Nothing changed: cannot rename " + Narrow(Copy())))
        << run.output;
    EXPECT_TRUE(Exists(Db));
    EXPECT_TRUE(Exists(Copy()));
}

TEST_F(VirtualStoreTest, APathOutsideTheVirtualizedFoldersHasNoCopy) {
    const std::wstring path = MakeFile(L"QvxData.mdb");
    // What would be its copy, were the test folder virtualized.
    const std::wstring notACopy = VirtualStoreCopy::PathOf(path);
    const QuietRun run = RunTorvane({L"/quiet", L"/path", path});
    EXPECT_EQ(0U, run.exitCode) << run.output;
    EXPECT_EQ("Renamed " + Narrow(path) + " to " + Narrow(path + Adv) + ".\r\n", run.output);
    EXPECT_FALSE(Exists(notACopy + Adv));
}

// Torvane runs elevated here (as after the offer to try again as
// administrator): a link planted in the user's VirtualStore must not make it
// rename a file elsewhere.
TEST_F(VirtualStoreTest, ALinkPlantedInTheVirtualStoreNeverLeadsTheRenameElsewhere) {
    const std::wstring elsewhere = folder_ / L"Elsewhere";
    CreateDirectoryW(elsewhere.c_str(), nullptr);
    const std::wstring target = elsewhere + L"\\QvxData.mdb";
    WriteFile(target, SampleBytes);
    const std::wstring quorvex = Copy().substr(0, Copy().rfind(L'\\'));
    RemoveDirectoryW(quorvex.c_str());
    const TestLink link(quorvex, elsewhere, TestLink::Kind::Folder);
    defaultDatabase_.Create("installer's copy");

    const QuietRun run = RunTorvane({L"/quiet"});
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), run.exitCode) << run.output;
    EXPECT_EQ(0U, run.output.find("Nothing changed: cannot rename " + Narrow(Copy())))
        << run.output;
    ExpectUntouched(target);
    EXPECT_EQ("installer's copy", ReadFile(Db)) << "nothing renamed after the refusal";
}

} // namespace

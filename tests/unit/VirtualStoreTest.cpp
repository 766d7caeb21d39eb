// The user's VirtualStore copy of the database, set aside with the file
// itself: in the window and from the command line.

#include "CommandRun.h"
#include "app/modMain.h"
#include "core/CommandJob.h"
#include "fakes/FakeServices.h"
#include "fakes/FakeUserProfiles.h"
#include "ui/frmMain.h"

#include <gtest/gtest.h>

namespace {

const std::string Db = "C:\\Program Files\\Quorvex\\QvxData.mdb";
const std::string Copy =
    "C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\Program Files\\Quorvex\\QvxData.mdb";
const std::string Adv = ".Advanced";

const AppError InUse(ErrorCategory::Win32, 32, "Sharing violation.", "MoveFileExW");
const AppError Denied(ErrorCategory::Win32, 5, "Access is denied.", "MoveFileExW");

class VirtualStoreTest : public ::testing::Test {
protected:
    FakeServices fakes;
    FakeUserProfiles profiles;
    FakeRunOutput output;
    FakeFormView view;
    ProgramSettingsLifetime settingsLifetime;

    void Files(std::initializer_list<std::string> paths) {
        for (const std::string &path : paths) {
            fakes.files.AddFile(path);
        }
    }
    std::vector<std::string> Files() const { return fakes.files.Names(); }
    void ClickRename() {
        frmMain form(fakes.Services(), view);
        view.databaseFileText = Db;
        RunEvent(fakes.Services(), [&] { form.cmdRename_Click(); });
    }
    int Run(const std::vector<std::string> &arguments) {
        return RunCommand(fakes.Services(), profiles, output, ParseCommandLine(arguments),
                          "Torvane");
    }
    std::vector<std::string> Prompts() const {
        std::vector<std::string> prompts;
        for (const ShownMessage &shown : fakes.dialogs.messages) {
            prompts.push_back(shown.prompt);
        }
        return prompts;
    }
};

TEST_F(VirtualStoreTest, LoadKeepsThePathWhenOnlyTheCopyHoldsAFile) {
    Files({Copy});
    frmMain form(fakes.Services(), view);
    form.Form_Load();
    EXPECT_EQ(Db, view.databaseFileText) << "the path, never the copy's";
}

TEST_F(VirtualStoreTest, RenameSetsAsideTheCopyFirstThenTheFileWithTheOneMessage) {
    Files({Db, Copy});
    ClickRename();
    const std::vector<std::pair<std::string, std::string>> expected{{Copy, Copy + Adv},
                                                                    {Db, Db + Adv}};
    EXPECT_EQ(expected, fakes.files.renames);
    EXPECT_EQ(std::vector<std::string>{Copy}, fakes.files.OpenedInAllowedFolder())
        << "the copy lies in a folder the user controls";
    EXPECT_EQ(std::vector<std::string>{"File has been renamed to:\r\n\r\n" + Db + Adv}, Prompts());
    EXPECT_EQ(std::vector<int>{ExitCode::Normal}, fakes.application.endedWith);
}

TEST_F(VirtualStoreTest, RenameOfTheCopyAloneSaysWhatItAlwaysSays) {
    Files({Copy});
    ClickRename();
    EXPECT_EQ(std::vector<std::string>{Copy + Adv}, Files());
    EXPECT_EQ(std::vector<std::string>{"File has been renamed to:\r\n\r\n" + Db + Adv}, Prompts());
}

TEST_F(VirtualStoreTest, ATakenNameAnywhereStopsEveryRenameWithError183) {
    for (const std::string &taken : {Copy + Adv, Db + Adv}) {
        FakeServices fresh;
        FakeFormView freshView;
        fresh.files.AddFile(Db);
        fresh.files.AddFile(Copy);
        fresh.files.others[taken] = PathKind::HiddenFile; // hidden counts: it is in the way
        freshView.databaseFileText = Db;
        frmMain form(fresh.Services(), freshView);
        RunEvent(fresh.Services(), [&] { form.cmdRename_Click(); });
        EXPECT_TRUE(fresh.files.renames.empty()) << taken;
        ASSERT_EQ(1u, fresh.dialogs.messages.size()) << taken;
        EXPECT_EQ("Error 183:\r\n\r\nSystem text of 183.", fresh.dialogs.messages[0].prompt);
        EXPECT_EQ(std::vector<int>{ExitCode::Failure}, fresh.application.endedWith);
    }
}

TEST_F(VirtualStoreTest, AccessDeniedAfterTheCopyOffersToFinishAsAdministrator) {
    Files({Db, Copy});
    fakes.files.openFailures.emplace(Db, Denied);
    fakes.dialogs.answerYes = true;
    ClickRename();
    EXPECT_EQ((std::vector<std::string>{Db, Copy + Adv}), Files());
    ASSERT_EQ(1u, fakes.dialogs.messages.size());
    EXPECT_TRUE(fakes.dialogs.messages[0].question);
    EXPECT_EQ(std::vector<std::string>{"/path \"" + Db + "\""}, fakes.application.elevatedStarts);

    // The instance started as administrator finds the copy set aside and
    // renames the file.
    fakes.files.openFailures.clear();
    fakes.dialogs.messages.clear();
    ClickRename();
    EXPECT_EQ((std::vector<std::string>{Db + Adv, Copy + Adv}), Files());
    EXPECT_EQ(std::vector<std::string>{"File has been renamed to:\r\n\r\n" + Db + Adv}, Prompts());
}

TEST_F(VirtualStoreTest, ARefusedCopyIsReportedWithoutTheOffer) {
    Files({Db, Copy});
    fakes.files.openFailures.emplace(
        Copy, AppError(ErrorCategory::Refusal, 5, Copy + " is a link.", "OpenForMove"));
    ClickRename();
    EXPECT_EQ(std::vector<std::string>{"Error 5:\r\n\r\n" + Copy + " is a link."}, Prompts());
    EXPECT_TRUE(fakes.application.elevatedStarts.empty());
    EXPECT_EQ((std::vector<std::string>{Db, Copy}), Files());
}

struct QuietCase {
    const char *name;
    std::vector<std::string> arguments;
    std::vector<std::string> before;
    std::map<std::string, AppError> failures;
    int exitCode;
    std::vector<std::string> after;
    std::vector<std::string> lines;
};

TEST_F(VirtualStoreTest, TheQuietRunMovesBothCopiesAndAnswersFromTheirState) {
    const std::string db = "Renamed " + Db + " to " + Db + Adv + ".";
    const std::string copy = "Renamed " + Copy + " to " + Copy + Adv + ".";
    const QuietCase cases[] = {
        {"both", {"/quiet"}, {Db, Copy}, {}, 0, {Db + Adv, Copy + Adv}, {copy, db}},
        {"only the copy", {"/quiet"}, {Copy}, {}, 0, {Copy + Adv}, {copy}},
        {"a rerun touches nothing",
         {"/quiet"},
         {Db + Adv, Copy + Adv},
         {},
         0,
         {Db + Adv, Copy + Adv},
         {"Nothing to do: " + Copy + Adv + " exists and " + Copy + " does not (already renamed).",
          "Nothing to do: " + Db + Adv + " exists and " + Db + " does not (already renamed)."}},
        {"the copy's name taken",
         {"/quiet"},
         {Db, Copy, Copy + Adv},
         {},
         183,
         {Db, Copy, Copy + Adv},
         {"Nothing changed: both " + Copy + " and " + Copy + Adv +
          " exist. Error 183: System text of 183."}},
        {"the file's name taken, the copy's free: nothing renamed",
         {"/quiet"},
         {Db, Copy, Db + Adv},
         {},
         183,
         {Db, Db + Adv, Copy},
         {"Nothing changed: both " + Db + " and " + Db + Adv +
          " exist. Error 183: System text of 183."}},
        {"the copy held open",
         {"/quiet"},
         {Db, Copy},
         {{Copy, InUse}},
         32,
         {Db, Copy},
         {"Nothing changed: cannot rename " + Copy + " to " + Copy + Adv +
          ". Error 32: Sharing violation."}},
        {"the file held open after the copy",
         {"/quiet"},
         {Db, Copy},
         {{Db, InUse}},
         32,
         {Db, Copy + Adv},
         {copy, "Cannot rename " + Db + " to " + Db + Adv +
                    " (the renames above stand). Error 32: Sharing violation."}},
        {"restore when only the copy was set aside",
         {"/restore", "/quiet"},
         {Copy + Adv},
         {},
         0,
         {Copy},
         {"Restored " + Copy + Adv + " to " + Copy + "."}},
        {"a path outside the virtualized folders has no copy",
         {"/quiet", "/path", "D:\\Data\\QvxData.mdb"},
         {"D:\\Data\\QvxData.mdb"},
         {},
         0,
         {"D:\\Data\\QvxData.mdb.Advanced"},
         {"Renamed D:\\Data\\QvxData.mdb to D:\\Data\\QvxData.mdb.Advanced."}},
    };
    for (const QuietCase &c : cases) {
        const CommandRun run = RunOver(c.arguments, c.before, [&](FakeServices &arranged) {
            arranged.files.openFailures = c.failures;
        });
        EXPECT_EQ(c.exitCode, run.exitCode) << c.name;
        EXPECT_EQ(c.after, run.files) << c.name;
        EXPECT_EQ(c.lines, run.lines) << c.name;
    }
}

TEST_F(VirtualStoreTest, ALogNamingTheCopyIsRefused) {
    Files({Db, Copy});
    EXPECT_EQ(87, Run({"/quiet", "/log", Copy + Adv}));
    EXPECT_TRUE(fakes.files.renames.empty());
    EXPECT_FALSE(output.logPath.has_value());
}

} // namespace

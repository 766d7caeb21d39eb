#include "ui/frmMain.h"
#include "app/modMain.h"
#include "fakes/FakeServices.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace std::string_literals;

const std::string DefaultPath = "C:\\Program Files\\Quorvex\\QvxData.mdb";
const std::string ProductKey = "SOFTWARE\\Kestrova\\Quorvex\\Defaults";

class frmMainTest : public ::testing::Test {
protected:
    FakeServices fakes;
    ProgramSettingsLifetime settingsLifetime;
    FakeFormView view;
    frmMain form{fakes.Services(), view};

    void StoreDatabase(const std::string &bytes) {
        fakes.registry.Store(HKEY_CURRENT_USER_VALUE, ProductKey, "Database", RegistryType::String,
                             bytes);
    }
    // How often the existence test looked at path.
    long Looks(const std::string &path) const {
        return std::count(fakes.files.searched.begin(), fakes.files.searched.end(), path);
    }
    std::vector<std::string> Prompts() const {
        std::vector<std::string> prompts;
        for (const ShownMessage &shown : fakes.dialogs.messages) {
            prompts.push_back(shown.prompt);
        }
        return prompts;
    }
};

TEST_F(frmMainTest, LoadSetsCaptionFromProductNameAndVersion) {
    form.Form_Load();
    EXPECT_EQ("Rename Quorvex Database - Version 1.0.0", view.caption);

    fakes.application.info = {"Rename Quorvex Database", 2, 13, 407};
    form.Form_Load();
    EXPECT_EQ("Rename Quorvex Database - Version 2.13.407", view.caption);
}

TEST_F(frmMainTest, LoadConfiguresTheOneSettingsObjectForTheProductKey) {
    ASSERT_EQ(nullptr, gProgramSettings) << "carried over from an earlier run";
    form.Form_Load();
    ASSERT_NE(nullptr, gProgramSettings);
    EXPECT_EQ(HKEY_CURRENT_USER_VALUE, gProgramSettings->RootKey());
    ASSERT_EQ(1u, fakes.registry.OpenedPaths().size());
    EXPECT_EQ(ProductKey, fakes.registry.OpenedPaths()[0]);
}

struct LoadCase {
    const char *what;
    std::optional<std::string> storedBytes;
    std::vector<std::string> existingFiles;
    std::string expectedText;
};

TEST_F(frmMainTest, LoadShowsThePathOnlyWhenAFileExistsThere) {
    const LoadCase cases[] = {
        {"no value, default present", std::nullopt, {DefaultPath}, DefaultPath},
        {"no value, default missing", std::nullopt, {}, ""},
        {"stored path present", "D:\\Data\\Q.mdb\0"s, {"D:\\Data\\Q.mdb"}, "D:\\Data\\Q.mdb"},
        {"stored path missing, default present", "D:\\Gone.mdb\0"s, {DefaultPath}, ""},
        {"stored empty string, default present", "\0"s, {DefaultPath}, DefaultPath},
    };
    for (const LoadCase &c : cases) {
        FakeServices fresh;
        FakeFormView freshView;
        if (c.storedBytes) {
            fresh.registry.Store(HKEY_CURRENT_USER_VALUE, ProductKey, "Database",
                                 RegistryType::String, *c.storedBytes);
        }
        for (const std::string &file : c.existingFiles) {
            fresh.files.AddFile(file);
        }
        const ProgramSettingsLifetime lifetime;
        frmMain loaded(fresh.Services(), freshView);
        loaded.Form_Load();
        EXPECT_EQ(c.expectedText, freshView.databaseFileText) << c.what;
        EXPECT_TRUE(fresh.dialogs.messages.empty()) << c.what;
    }
}

TEST_F(frmMainTest, LoadLeavesTheFieldEmptyWhenThePathCannotBeSearched) {
    StoreDatabase("C:\\bad<name>.mdb\0"s);
    fakes.files.unsearchable.emplace(
        "C:\\bad<name>.mdb",
        AppError(ErrorCategory::Win32, 123, "The filename syntax is incorrect.", "FindFirstFileW"));
    form.Form_Load();
    EXPECT_EQ("", view.databaseFileText);
    EXPECT_TRUE(fakes.application.endedWith.empty());
}

TEST_F(frmMainTest, RenameWithEmptyTextOnlyAsksForAFile) {
    form.cmdRename_Click();
    EXPECT_EQ(std::vector<std::string>{"Please select a file before renaming it."}, Prompts());
    EXPECT_FALSE(fakes.dialogs.messages[0].title.has_value());
    EXPECT_TRUE(fakes.files.searched.empty());
    EXPECT_TRUE(fakes.application.endedWith.empty());
}

TEST_F(frmMainTest, RenameOfAMissingFileSaysSoAndKeepsTheText) {
    view.databaseFileText = "D:\\Gone.mdb";
    form.cmdRename_Click();
    EXPECT_EQ(std::vector<std::string>{"D:\\Gone.mdb does not exist.  Click the browse button to "
                                       "locate the database file."},
              Prompts());
    EXPECT_EQ("D:\\Gone.mdb", view.databaseFileText);
    EXPECT_TRUE(fakes.files.renames.empty());
    EXPECT_TRUE(fakes.application.endedWith.empty());
}

TEST_F(frmMainTest, RenameAppendsAdvancedTellsTheUserAndEnds) {
    fakes.files.AddFile(DefaultPath);
    view.databaseFileText = DefaultPath;
    form.cmdRename_Click();
    ASSERT_EQ(1u, fakes.files.renames.size());
    EXPECT_EQ(DefaultPath, fakes.files.renames[0].first);
    EXPECT_EQ(DefaultPath + ".Advanced", fakes.files.renames[0].second);
    EXPECT_EQ(
        std::vector<std::string>{"File has been renamed to:\r\n\r\n" + DefaultPath + ".Advanced"},
        Prompts());
    EXPECT_EQ(MESSAGE_OK_ONLY, fakes.dialogs.messages[0].style);
    EXPECT_EQ(std::vector<int>{ExitCode::Normal}, fakes.application.endedWith);
    EXPECT_EQ(1, Looks(DefaultPath)) << "one look decides";
}

TEST_F(frmMainTest, FailedRenameReachesTheStandardReportAndEndsWithFailure) {
    fakes.files.AddFile(DefaultPath);
    fakes.files.openFailure =
        AppError(ErrorCategory::Win32, 183, "Cannot create a file when that file already exists.",
                 "MoveFileExW");
    view.databaseFileText = DefaultPath;
    RunEvent(fakes.Services(), [&] { form.cmdRename_Click(); });
    EXPECT_EQ(std::vector<std::string>{"Error 183:\r\n\r\nCannot create a file when that file "
                                       "already exists."},
              Prompts());
    EXPECT_FALSE(fakes.dialogs.messages[0].title.has_value());
    EXPECT_EQ(std::vector<int>{ExitCode::Failure}, fakes.application.endedWith);
}

TEST_F(frmMainTest, AFailureFoundToBeAnotherRunsRenameShowsTheRenamedMessage) {
    // Another run sets the file aside between this one's look and its rename.
    fakes.files.AddFile(DefaultPath);
    fakes.files.beforeOpen = [&](const std::string &) {
        fakes.files.beforeOpen = nullptr;
        fakes.files.files.erase(DefaultPath);
        fakes.files.AddFile(DefaultPath + ".Advanced");
    };
    view.databaseFileText = DefaultPath;
    RunEvent(fakes.Services(), [&] { form.cmdRename_Click(); });
    EXPECT_EQ(
        std::vector<std::string>{"File has been renamed to:\r\n\r\n" + DefaultPath + ".Advanced"},
        Prompts());
    EXPECT_EQ(std::vector<int>{ExitCode::Normal}, fakes.application.endedWith);
    EXPECT_EQ(2, Looks(DefaultPath)) << "a second look only after the failure";
}

TEST_F(frmMainTest, CancelEndsAtOnceWithoutTouchingAnything) {
    view.databaseFileText = DefaultPath;
    form.cmdCancel_Click();
    EXPECT_EQ(std::vector<int>{ExitCode::Normal}, fakes.application.endedWith);
    EXPECT_TRUE(fakes.dialogs.messages.empty());
    EXPECT_TRUE(fakes.files.searched.empty());
}

TEST_F(frmMainTest, BrowsePresetsTheDialogAndTakesTheChosenPath) {
    view.databaseFileText = "C:\\typed.mdb";
    fakes.dialogs.chosenFile = "E:\\Chosen\\QvxData.mdb";
    form.cmdBrowse_Click();
    ASSERT_EQ(1u, fakes.dialogs.openRequests.size());
    const OpenFileRequest &request = fakes.dialogs.openRequests[0];
    EXPECT_EQ("Database Files (*.mdb)|*.mdb", request.filter);
    EXPECT_EQ(".mdb", request.defaultExt);
    EXPECT_EQ("C:\\typed.mdb", request.fileName);
    EXPECT_EQ("E:\\Chosen\\QvxData.mdb", view.databaseFileText);

    // Every click presets afresh from the current text.
    view.databaseFileText = "";
    fakes.dialogs.chosenFile.reset();
    form.cmdBrowse_Click();
    EXPECT_EQ("", fakes.dialogs.openRequests[1].fileName);
    EXPECT_EQ("", view.databaseFileText);
}

TEST_F(frmMainTest, CancelledBrowseLeavesTheTextAsItWas) {
    view.databaseFileText = "C:\\typed.mdb";
    form.cmdBrowse_Click();
    EXPECT_EQ("C:\\typed.mdb", view.databaseFileText);
    EXPECT_TRUE(fakes.dialogs.messages.empty());
}

TEST_F(frmMainTest, BrowseFailureIsShownUnderTheCaptionAndTheWindowStays) {
    view.databaseFileText = "C:\\typed.mdb";
    fakes.dialogs.openFailure = AppError(ErrorCategory::CommonDialog, 0x3003,
                                         "The file name buffer is too small.", "GetOpenFileNameW");
    form.cmdBrowse_Click();
    ASSERT_EQ(1u, fakes.dialogs.messages.size());
    EXPECT_EQ("frmMain: cmdBrowse_Click: The file name buffer is too small.",
              fakes.dialogs.messages[0].prompt);
    EXPECT_EQ("Rename Quorvex Database - Version 1.0.0", fakes.dialogs.messages[0].title);
    EXPECT_EQ("C:\\typed.mdb", view.databaseFileText);
    EXPECT_TRUE(fakes.application.endedWith.empty());
}

TEST_F(frmMainTest, AGivenPathTakesThePlaceOfTheLookupUnderTheSameExistenceTest) {
    StoreDatabase("D:\\Stored.mdb\0"s);
    fakes.files.AddFile("D:\\Stored.mdb");
    fakes.files.AddFile("E:\\Given.mdb");
    FakeFormView givenView;
    frmMain given(fakes.Services(), givenView, std::string("E:\\Given.mdb"));
    given.Form_Load();
    EXPECT_EQ("E:\\Given.mdb", givenView.databaseFileText);
    EXPECT_EQ("Rename Quorvex Database - Version 1.0.0", givenView.caption);
    EXPECT_TRUE(fakes.registry.OpenedPaths().empty());

    FakeFormView missingView;
    frmMain missing(fakes.Services(), missingView, std::string("E:\\Missing.mdb"));
    missing.Form_Load();
    EXPECT_EQ("", missingView.databaseFileText);
    EXPECT_TRUE(fakes.dialogs.messages.empty());
}

const AppError AccessDenied(ErrorCategory::Win32, 5, "Access is denied.", "MoveFileExW");
const std::string DeniedReport = "Error 5:\r\n\r\nAccess is denied.";

struct ElevationCase {
    const char *what;
    AppError failure;
    bool elevated;
    bool answerYes;
    std::optional<AppError> startFailure;
    bool asked;
    std::vector<std::string> started;
};

TEST_F(frmMainTest, AccessDeniedOffersToTryAgainAsAdministratorWhenNotElevated) {
    const std::string parameters = "/path \"" + DefaultPath + "\"";
    const AppError cancelled(ErrorCategory::Win32, 1223, "Cancelled.", "ShellExecuteExW");
    const AppError programFive(ErrorCategory::Program, ErrorNumber::InvalidText, "Invalid text",
                               "Widen");
    const ElevationCase cases[] = {
        {"not elevated, Yes", AccessDenied, false, true, std::nullopt, true, {parameters}},
        {"not elevated, No", AccessDenied, false, false, std::nullopt, true, {}},
        {"not elevated, Yes, declined at the prompt",
         AccessDenied,
         false,
         true,
         cancelled,
         true,
         {parameters}},
        {"elevated", AccessDenied, true, true, std::nullopt, false, {}},
        {"the program's own 5", programFive, false, true, std::nullopt, false, {}},
    };
    for (const ElevationCase &c : cases) {
        FakeServices fresh;
        FakeFormView freshView;
        fresh.files.AddFile(DefaultPath);
        fresh.files.openFailure = c.failure;
        fresh.application.elevated = c.elevated;
        fresh.application.elevationFailure = c.startFailure;
        fresh.dialogs.answerYes = c.answerYes;
        freshView.databaseFileText = DefaultPath;
        frmMain denied(fresh.Services(), freshView);
        RunEvent(fresh.Services(), [&] { denied.cmdRename_Click(); });

        ASSERT_EQ(1u, fresh.dialogs.messages.size()) << c.what;
        const ShownMessage &shown = fresh.dialogs.messages[0];
        EXPECT_EQ(c.asked, shown.question) << c.what;
        EXPECT_FALSE(shown.title.has_value()) << c.what;
        const std::string report = UnhandledErrorMessage(c.failure);
        EXPECT_EQ(c.asked ? report + "\r\n\r\nYou'll need to provide administrator permission to "
                                     "rename this file. Try again as administrator?"
                          : report,
                  shown.prompt)
            << c.what;
        EXPECT_EQ(c.started, fresh.application.elevatedStarts) << c.what;
        EXPECT_EQ(std::vector<int>{ExitCode::Failure}, fresh.application.endedWith) << c.what;
        EXPECT_EQ(1u, fresh.files.files.count(DefaultPath)) << c.what;
    }
}

} // namespace

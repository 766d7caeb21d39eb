// /quiet /allusers against users made for the test: ProfileList entries
// with folders and NTUSER.DAT files of their own, beside the user the tests
// run as, whose hive is loaded already. HKEY_USERS is the same after every
// run as before it.

#include "E2eTest.h"
#include "FolderContents.h"
#include "QuietRun.h"
#include "TestProfile.h"
#include "Wait.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32SystemFolders.h"

#include <algorithm>

namespace {

const std::wstring Adv = L".Advanced";
// ERROR_ELEVATION_REQUIRED, which mingw-w64's headers lack.
constexpr DWORD ElevationRequired = 740;

class AllUsersTest : public E2eTest {
protected:
    AllUsersTest() : hivesBefore_(LoadedHives()) {}
    ~AllUsersTest() override { EXPECT_EQ(hivesBefore_, LoadedHives()) << "a hive stays loaded"; }

    // What a user's hive says: their setting, when given, and the usual
    // Local AppData in their profile.
    static HiveContents Hive(std::optional<std::wstring> database = std::nullopt) {
        return HiveContents{std::move(database), L"%USERPROFILE%\\AppData\\Local"};
    }
    static std::wstring StoreCopyOf(const TestProfile &user) {
        return user.Folder() + L"\\AppData\\Local\\VirtualStore" + DefaultDatabase::Path.substr(2);
    }
    // Torvane run, HKEY_USERS compared around it: as it was, but for the
    // hive an earlier run left, when this run is to heal it.
    static QuietRun RunEveryUser(const StartOptions &options,
                                 const std::optional<std::wstring> &healed = std::nullopt) {
        std::vector<std::wstring> expected = LoadedHives();
        if (healed) {
            expected.erase(std::remove(expected.begin(), expected.end(), *healed), expected.end());
        }
        QuietRun run = RunTorvane(options);
        EXPECT_EQ(expected, LoadedHives()) << "HKEY_USERS after the run\n" << run.output;
        return run;
    }
    static QuietRun RunEveryUser(const std::vector<std::wstring> &arguments,
                                 const std::optional<std::wstring> &healed = std::nullopt) {
        return RunEveryUser(StartOptions{arguments, std::nullopt, false}, healed);
    }
    static bool Says(const QuietRun &run, const std::wstring &text) {
        return run.output.find(Narrow(text)) != std::string::npos;
    }
    // The last line written, as a management console shows it.
    static std::string LastLine(const std::string &output) {
        std::string text = output;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        return text.substr(
            text.find_last_of('\n') == std::string::npos ? 0 : text.find_last_of('\n') + 1);
    }

    std::vector<std::wstring> hivesBefore_;
};

TEST_F(AllUsersTest, EveryUsersDatabaseAndCopyAreSetAsideAndTheSharedFileOnce) {
    // Ann keeps her database in her profile; Bob uses the default, and his
    // Quorvex wrote to his VirtualStore; the tests' own user uses the
    // default too.
    TestProfile ann(std::nullopt);
    const std::wstring annsDatabase = ann.Folder() + L"\\Ann.mdb";
    ann.WriteHive(Hive(annsDatabase));
    const TestProfile bob(Hive());
    WriteFile(annsDatabase, "ann's");
    MakeFoldersFor(StoreCopyOf(bob));
    WriteFile(StoreCopyOf(bob), "bob's");
    defaultDatabase_.Create("installer's");

    const QuietRun run = RunEveryUser({L"/quiet", L"/allusers"});
    EXPECT_EQ(0U, run.exitCode) << run.output;
    EXPECT_EQ("ann's", ReadFile(annsDatabase + Adv));
    EXPECT_EQ("bob's", ReadFile(StoreCopyOf(bob) + Adv));
    EXPECT_EQ("installer's", ReadFile(DefaultDatabase::RenamedPath));
    EXPECT_FALSE(Exists(annsDatabase));
    EXPECT_FALSE(Exists(StoreCopyOf(bob)));
    EXPECT_FALSE(Exists(DefaultDatabase::Path));
    // One line per copy, naming the user; the shared file once.
    EXPECT_TRUE(Says(run, L" (" + ann.Sid() + L"): Renamed " + annsDatabase)) << run.output;
    EXPECT_TRUE(Says(run, L" (" + bob.Sid() + L"): Renamed " + StoreCopyOf(bob))) << run.output;
    std::size_t shared = 0;
    for (std::size_t at = 0;
         (at = run.output.find("Renamed " + Narrow(DefaultDatabase::Path) + " to", at)) !=
         std::string::npos;
         ++at) {
        ++shared;
    }
    EXPECT_EQ(1U, shared) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("Done for every user: ")) << run.output;

    // The undo puts every copy back.
    const QuietRun restore = RunEveryUser({L"/restore", L"/quiet", L"/allusers"});
    EXPECT_EQ(0U, restore.exitCode) << restore.output;
    EXPECT_EQ("ann's", ReadFile(annsDatabase));
    EXPECT_EQ("bob's", ReadFile(StoreCopyOf(bob)));
    EXPECT_EQ("installer's", ReadFile(DefaultDatabase::Path));
}

// No hive, no setting: the VirtualStore copy of the default path is still
// the user's, and no hive file is made.
TEST_F(AllUsersTest, AProfileWithoutAHiveFileStillHasItsCopySetAside) {
    const TestProfile gone(std::nullopt);
    MakeFoldersFor(StoreCopyOf(gone));
    WriteFile(StoreCopyOf(gone), "gone's");
    defaultDatabase_.Create(SampleBytes);
    const QuietRun run = RunEveryUser({L"/quiet", L"/allusers"});
    EXPECT_EQ(0U, run.exitCode) << run.output;
    EXPECT_TRUE(Says(run, L" (" + gone.Sid() + L"): " + FullForm(gone.Folder()) +
                              L" has no NTUSER.DAT or NTUSER.MAN"))
        << run.output;
    EXPECT_EQ("gone's", ReadFile(StoreCopyOf(gone) + Adv));
    EXPECT_FALSE(Exists(gone.HiveFile()));
}

// A signed-out FSLogix or roaming profile: its entry names a folder that is
// not there. Said, and the rest done as if it were not listed.
TEST_F(AllUsersTest, AProfileWhoseFolderIsGoneGetsALineAndTheRestIsDone) {
    const TestProfile bob(Hive());
    const std::wstring sid = L"S-1-5-21-1-2-3-9997";
    const std::wstring folder = bob.Folder() + L"\\Gone";
    const ProfileListEntry gone(sid, folder);
    defaultDatabase_.Create(SampleBytes);
    const QuietRun run = RunEveryUser({L"/quiet", L"/allusers"});
    EXPECT_EQ(0U, run.exitCode) << run.output;
    EXPECT_TRUE(Says(run, L"Gone (" + sid + L"): not done: the profile folder " + FullForm(folder) +
                              L" cannot be reached (error 2: "))
        << run.output;
    EXPECT_TRUE(Exists(DefaultDatabase::RenamedPath)) << "the rest is done";
}

// An Entra ID account, a mandatory profile, and a user Windows signed in
// with a temporary profile, whose real one it set aside as "<SID>.bak".
TEST_F(AllUsersTest, EveryKindOfPersonsProfileIsDone) {
    TestProfile entra(std::nullopt, ProfileShape::EntraId());
    const std::wstring entrasDatabase = entra.Folder() + L"\\Entra.mdb";
    entra.WriteHive(Hive(entrasDatabase));
    WriteFile(entrasDatabase, "entra's");
    TestProfile mandatory(std::nullopt, ProfileShape::Mandatory());
    const std::wstring mandatorysDatabase = mandatory.Folder() + L"\\Mandatory.mdb";
    mandatory.WriteHive(Hive(mandatorysDatabase));
    WriteFile(mandatorysDatabase, "mandatory's");
    const TestProfile temporary(Hive());
    const TestProfile setAside(Hive(), ProfileShape::SetAside(temporary.Sid()));
    for (const TestProfile *user : {&temporary, &setAside}) {
        MakeFoldersFor(StoreCopyOf(*user));
        WriteFile(StoreCopyOf(*user), Narrow(user->Sid()));
    }

    const QuietRun run = RunEveryUser({L"/quiet", L"/allusers"});
    EXPECT_EQ(0U, run.exitCode) << run.output;
    EXPECT_EQ("entra's", ReadFile(entrasDatabase + Adv));
    EXPECT_EQ("mandatory's", ReadFile(mandatorysDatabase + Adv));
    EXPECT_EQ(Narrow(temporary.Sid()), ReadFile(StoreCopyOf(temporary) + Adv));
    EXPECT_EQ(Narrow(setAside.Sid()), ReadFile(StoreCopyOf(setAside) + Adv));
    // Each line says which entry its copy came from.
    EXPECT_TRUE(Says(run, L" (" + temporary.Sid() + L"): Renamed " + StoreCopyOf(temporary)))
        << run.output;
    EXPECT_TRUE(Says(run, L" (" + temporary.Sid() + L".bak): Renamed " + StoreCopyOf(setAside)))
        << run.output;
}

// A run that was killed left a user's hive loaded under Torvane's name.
TEST_F(AllUsersTest, AHiveAnEarlierRunLeftIsUnloadedAndItsUserDone) {
    TestProfile bob(std::nullopt);
    const std::wstring bobsDatabase = bob.Folder() + L"\\Bob.mdb";
    bob.WriteHive(Hive(bobsDatabase));
    WriteFile(bobsDatabase, "bob's");
    bob.LoadAsAnEarlierRunLeftIt();

    const QuietRun run = RunEveryUser({L"/quiet", L"/allusers"}, bob.LoadedName());
    EXPECT_EQ(0U, run.exitCode) << run.output;
    EXPECT_TRUE(Says(run, L"HKEY_USERS\\" + bob.LoadedName() +
                              L", left loaded by an earlier run, was unloaded."))
        << run.output;
    EXPECT_EQ("bob's", ReadFile(bobsDatabase + Adv));
}

TEST_F(AllUsersTest, ADamagedHiveIsReportedAndTheRestDone) {
    const TestProfile damaged(std::nullopt);
    const std::string garbage = "regf, but not really a hive";
    WriteFile(damaged.HiveFile(), garbage);
    defaultDatabase_.Create(SampleBytes);

    const QuietRun run = RunEveryUser({L"/quiet", L"/allusers"});
    EXPECT_NE(0U, run.exitCode) << run.output;
    EXPECT_NE(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), run.exitCode) << run.output;
    EXPECT_TRUE(Says(run, L" (" + damaged.Sid() + L"): cannot read the user's settings. Error " +
                              std::to_wstring(run.exitCode) + L":"))
        << run.output;
    EXPECT_TRUE(Exists(DefaultDatabase::RenamedPath)) << "the rest is done";
    EXPECT_EQ(garbage, ReadFile(damaged.HiveFile()));
}

TEST_F(AllUsersTest, AUsersSettingOutsideWhatTheUserMayActOnIsLeftAlone) {
    // Files of this test's folder lie outside the user's profile, which the
    // rename proves by the file's final path.
    const std::wstring elsewhere = MakeFile(L"Elsewhere.mdb");
    TestProfile mallory(Hive(elsewhere));
    const std::wstring notes = mallory.Folder() + L"\\notes.txt";
    WriteFile(notes, "notes");
    const TestProfile trent(Hive(notes));
    // Another program's database: System could rename it, its user not.
    const DatabaseSlot others(L"C:\\Program Files\\Kestrova Reports\\Reports.mdb");
    others.Create(SampleBytes);
    const TestProfile victor(Hive(others.Path()));

    const QuietRun run = RunEveryUser({L"/quiet", L"/allusers"});
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), run.exitCode) << run.output;
    ExpectUntouched(elsewhere);
    EXPECT_EQ("notes", ReadFile(notes));
    EXPECT_FALSE(Exists(notes + Adv));
    ExpectUntouched(others.Path());
    EXPECT_TRUE(Says(run, L" (" + mallory.Sid() + L"): Nothing changed: cannot rename " +
                              elsewhere + L" to " + elsewhere + Adv + L". Error 5: "))
        << run.output;
    EXPECT_TRUE(Says(run, L" (" + trent.Sid() + L"): Left alone: ")) << run.output;
    EXPECT_TRUE(Says(run, L" (" + victor.Sid() + L"): Left alone: " + others.Path())) << run.output;
}

TEST_F(AllUsersTest, WithoutAdministratorRightsItEndsWith740AndTouchesNothing) {
    const TestProfile bob(Hive());
    defaultDatabase_.Create(SampleBytes);
    const QuietRun run = RunEveryUser(
        StartOptions{{L"/quiet", L"/allusers", L"/log", folder_ / L"t.log"}, std::nullopt, true});
    EXPECT_EQ(ElevationRequired, run.exitCode) << run.output;
    ExpectUntouched(DefaultDatabase::Path);
    EXPECT_FALSE(Exists(folder_ / L"t.log"));
}

TEST_F(AllUsersTest, OneUsersCopyHeldOpenHoldsBackTheFileAndEveryCopyOfIt) {
    const TestProfile bob(Hive());
    MakeFoldersFor(StoreCopyOf(bob));
    WriteFile(StoreCopyOf(bob), "bob's");
    defaultDatabase_.Create("installer's");
    virtualStoreCopy_.Create("mine");
    {
        // Without FILE_SHARE_DELETE, as a running database engine holds it.
        const unique_hfile held(CreateFileW(virtualStoreCopy_.Path().c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);

        const QuietRun run = RunTorvane({L"/quiet", L"/allusers"});
        EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), run.exitCode) << run.output;
        EXPECT_EQ("installer's", ReadFile(DefaultDatabase::Path));
        EXPECT_EQ("bob's", ReadFile(StoreCopyOf(bob)));
        EXPECT_EQ("mine", ReadFile(virtualStoreCopy_.Path()));
        EXPECT_TRUE(Says(run, L"): Not renamed: " + StoreCopyOf(bob) + L": waits for " +
                                  virtualStoreCopy_.Path() + L"."))
            << run.output;
        EXPECT_TRUE(Says(run, L"): Not renamed: " + DefaultDatabase::Path + L": waits for " +
                                  virtualStoreCopy_.Path() + L"."))
            << run.output;
    }
    // Once the copy is closed, the next run moves the whole group, and its
    // summary is the last line of the file a deployment script captures.
    const QuietRun again = RunTorvaneIntoFile({L"/quiet", L"/allusers"});
    EXPECT_EQ(0U, again.exitCode) << again.output;
    EXPECT_EQ("installer's", ReadFile(DefaultDatabase::RenamedPath));
    EXPECT_EQ("bob's", ReadFile(StoreCopyOf(bob) + Adv));
    EXPECT_EQ("mine", ReadFile(virtualStoreCopy_.Path() + Adv));
    EXPECT_EQ(0U, LastLine(again.output).rfind("Done for every user: ", 0)) << again.output;
}

TEST_F(AllUsersTest, NoUsersSettingTakesAnotherUsersFile) {
    // Ann's setting names Bob's database, which is his own setting too; Dee
    // uses the default, and her Local AppData is Cy's.
    TestProfile bob(std::nullopt);
    const std::wstring bobsDatabase = bob.Folder() + L"\\Bob.mdb";
    bob.WriteHive(Hive(bobsDatabase));
    const TestProfile ann(Hive(bobsDatabase));
    const TestProfile cy(Hive());
    const std::wstring cysLocal = cy.Folder() + L"\\AppData\\Local";
    const TestProfile dee(HiveContents{std::nullopt, cysLocal});
    WriteFile(bobsDatabase, "bob's");
    MakeFoldersFor(StoreCopyOf(cy));
    WriteFile(StoreCopyOf(cy), "cy's copy");

    const QuietRun run = RunEveryUser({L"/quiet", L"/allusers"});
    EXPECT_EQ(0U, run.exitCode) << run.output;
    EXPECT_TRUE(Exists(bobsDatabase + Adv)) << run.output;
    EXPECT_TRUE(Exists(StoreCopyOf(cy) + Adv)) << run.output;
    EXPECT_TRUE(Says(run, L" (" + bob.Sid() + L"): Renamed " + bobsDatabase)) << run.output;
    EXPECT_TRUE(Says(run, L" (" + cy.Sid() + L"): Renamed " + StoreCopyOf(cy))) << run.output;
    EXPECT_TRUE(Says(run, L" (" + dee.Sid() + L"): the user's Local AppData, " + cysLocal +
                              L", lies outside "))
        << run.output;
}

TEST_F(AllUsersTest, ACheckLoadsAndUnloadsAsARunAndChangesNothing) {
    const TestProfile bob(Hive());
    MakeFoldersFor(StoreCopyOf(bob));
    WriteFile(StoreCopyOf(bob), "bob's");
    defaultDatabase_.Create("installer's");
    const std::wstring bobsFolder = StoreCopyOf(bob).substr(0, StoreCopyOf(bob).rfind(L'\\'));
    const FolderContents before = ContentsOf(bobsFolder);
    const FolderContents shared = ContentsOf(DefaultDatabase::Folder);

    const QuietRun run = RunTorvaneIntoFile({L"/check", L"/allusers"});
    EXPECT_EQ(1U, run.exitCode) << run.output;
    EXPECT_TRUE(Says(run, L" (" + bob.Sid() + L"): Would rename " + StoreCopyOf(bob)))
        << run.output;
    EXPECT_EQ(0U, LastLine(run.output).rfind("Would change 2 copies; 0 already so.", 0))
        << run.output;
    EXPECT_EQ(hivesBefore_, LoadedHives());
    EXPECT_EQ(before, ContentsOf(bobsFolder));
    EXPECT_EQ(shared, ContentsOf(DefaultDatabase::Folder));
    EXPECT_TRUE(run.windowsSeen.empty()) << ::testing::PrintToString(run.windowsSeen);

    const QuietRun denied = RunTorvane(StartOptions{{L"/check", L"/allusers"}, std::nullopt, true});
    EXPECT_EQ(ElevationRequired, denied.exitCode) << denied.output;
}

// Two runs started together: while one works the other waits, writing
// nothing; the one working is killed, which frees the lock at once, and the
// other does the job.
TEST_F(AllUsersTest, OfTwoRunsOneWorksAtATimeAndAKilledOneHoldsNoneUp) {
    const TestProfile bob(Hive());
    defaultDatabase_.Create("installer's");
    const std::wstring lock = WindowsFolder() + L"\\Logs\\Torvane\\EveryUser.lock";
    const HeldRun first({L"/quiet", L"/allusers"});
    const HeldRun second({L"/quiet", L"/allusers"});
    // The run that took the lock stops at its first line, unread.
    ASSERT_TRUE(WaitUntil([&] { return first.Wrote() || second.Wrote(); }));
    const HeldRun &working = first.Wrote() ? first : second;
    const HeldRun &waiting = first.Wrote() ? second : first;
    Sleep(1000); // time enough for a run that did not wait to write
    EXPECT_FALSE(waiting.Wrote());
    EXPECT_TRUE(waiting.Running());
    EXPECT_TRUE(Exists(lock));

    // A copy that appears now is set aside by the run that is left.
    MakeFoldersFor(StoreCopyOf(bob));
    WriteFile(StoreCopyOf(bob), "bob's");
    working.Kill();
    const QuietRun done = waiting.Finish();
    EXPECT_EQ(0U, done.exitCode) << done.output;
    EXPECT_EQ("bob's", ReadFile(StoreCopyOf(bob) + Adv)) << done.output;
    EXPECT_EQ("installer's", ReadFile(DefaultDatabase::RenamedPath));
    EXPECT_FALSE(Exists(lock));
}

TEST_F(AllUsersTest, NoUserWithADatabaseIs2) {
    const TestProfile bob(Hive());
    const QuietRun run = RunEveryUser({L"/quiet", L"/allusers"});
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), run.exitCode) << run.output;
}

} // namespace

#include "settings/CProgramSettings.h"
#include "fakes/FakeServices.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

class ProgramSettingsTest : public ::testing::Test {
protected:
    FakeServices fakes;
    CProgramSettings settings{fakes.Services()};

    void Configure(const std::string &branch, const std::string &maker, const std::string &product,
                   const std::string &section) {
        settings.RootKey(HKEY_CURRENT_USER_VALUE);
        settings.MainBranch(branch);
        settings.RegBase(maker);
        settings.Program(product);
        settings.Section(section);
    }
    void StoreDatabase(const std::string &path, std::uint32_t type, const std::string &bytes) {
        fakes.registry.Store(HKEY_CURRENT_USER_VALUE, path, "Database", type, bytes);
    }
};

TEST_F(ProgramSettingsTest, StartsUnderLocalMachineSoftwareSettings) {
    EXPECT_EQ(HKEY_LOCAL_MACHINE_VALUE, settings.RootKey());
    EXPECT_EQ("SOFTWARE", settings.MainBranch());
    EXPECT_EQ("", settings.RegBase());
    EXPECT_EQ("", settings.Program());
    EXPECT_EQ("Settings", settings.Section());

    settings.ReadEntry("Database", "default");
    ASSERT_EQ(1u, fakes.registry.OpenedPaths().size());
    EXPECT_EQ("SOFTWARE\\\\\\Settings", fakes.registry.OpenedPaths()[0]);
}

struct KeyPathCase {
    std::string branch, maker, product, section;
    std::string expected;
};

TEST_F(ProgramSettingsTest, KeyPathKeepsEmptyComponentsAndDropsOneTrailingSeparator) {
    const KeyPathCase cases[] = {
        {"SOFTWARE", "Kestrova", "Quorvex", "Defaults", "SOFTWARE\\Kestrova\\Quorvex\\Defaults"},
        {"SOFTWARE", "Kestrova", "Quorvex", "", "SOFTWARE\\Kestrova\\Quorvex"},
        {"SOFTWARE", "Kestrova", "", "", "SOFTWARE\\Kestrova\\"},
        {"SOFTWARE", "", "Quorvex", "Defaults", "SOFTWARE\\\\Quorvex\\Defaults"},
        {"", "Kestrova", "Quorvex", "Defaults", "\\Kestrova\\Quorvex\\Defaults"},
        {"SOFTWARE", "Kestrova", "Quorvex", "Defaults\\", "SOFTWARE\\Kestrova\\Quorvex\\Defaults"},
        {"", "", "", "", "\\\\"},
    };
    for (const KeyPathCase &c : cases) {
        Configure(c.branch, c.maker, c.product, c.section);
        settings.ReadEntry("Database", "default");
        settings.WriteEntry("Database", "value");
        const auto &paths = fakes.registry.OpenedPaths();
        ASSERT_GE(paths.size(), 2u);
        EXPECT_EQ(c.expected, paths[paths.size() - 2]) << "read path";
        EXPECT_EQ(c.expected, paths.back()) << "write path";
    }
}

TEST_F(ProgramSettingsTest, EveryKeyIsOpenedWithAccessMask3FAndClosedOnEveryPath) {
    const std::string path = "SOFTWARE\\Kestrova\\Quorvex\\Defaults";
    Configure("SOFTWARE", "Kestrova", "Quorvex", "Defaults");
    fakes.registry.StoreKey(HKEY_CURRENT_USER_VALUE, path);

    settings.ReadEntry("Database", "d"); // query fails: no such value
    StoreDatabase(path, RegistryType::Binary, "\1");
    settings.ReadEntry("Database", "d"); // unhandled type
    StoreDatabase(path, RegistryType::String, "x\0"s);
    settings.ReadEntry("Database", "d"); // read
    StoreDatabase(path, RegistryType::DWord, "\1\0\0\0"s);
    settings.ReadEntry("Database", "d"); // read
    settings.WriteEntry("Database", "y");
    fakes.registry.FailBufferedQueries(FakeRegistry::ACCESS_DENIED);
    settings.ReadEntry("Database", "d"); // second query fails

    EXPECT_EQ(0u, fakes.registry.OpenKeyCount());
    for (std::uint32_t access : fakes.registry.RequestedAccess()) {
        EXPECT_EQ(0x3Fu, access);
    }
}

TEST_F(ProgramSettingsTest, RegistryRefusalsFallBackToTheDefaultSilently) {
    const std::string path = "SOFTWARE\\Kestrova\\Quorvex\\Defaults";
    Configure("SOFTWARE", "Kestrova", "Quorvex", "Defaults");
    StoreDatabase(path, RegistryType::String, "C:\\stored.mdb\0"s);

    fakes.registry.FailBufferedQueries(FakeRegistry::ACCESS_DENIED);
    EXPECT_EQ("default", settings.ReadEntry("Database", "default")) << "second query fails";

    fakes.registry.Refuse(HKEY_CURRENT_USER_VALUE, path, FakeRegistry::ACCESS_DENIED);
    EXPECT_EQ("default", settings.ReadEntry("Database", "default")) << "open refused";
    settings.WriteEntry("Database", "ignored");
    EXPECT_EQ(0u, fakes.registry.OpenKeyCount());
    EXPECT_TRUE(fakes.dialogs.messages.empty());
}

TEST_F(ProgramSettingsTest, SectionEmptyLooksOneLevelHigher) {
    Configure("SOFTWARE", "Kestrova", "Quorvex", "");
    StoreDatabase("SOFTWARE\\Kestrova\\Quorvex", RegistryType::String, "C:\\up.mdb\0"s);
    EXPECT_EQ("C:\\up.mdb", settings.ReadEntry("Database", "default"));
}

TEST_F(ProgramSettingsTest, FailureInsideGetKeyValueIsReportedOnceUnderItsName) {
    Configure("SOFTWARE", "Kestrova", "Quorvex", "Defaults");
    StoreDatabase("SOFTWARE\\Kestrova\\Quorvex\\Defaults", RegistryType::String, "x\0"s);
    fakes.codePage.fromAnsiFailure =
        AppError(ErrorCategory::Program, 5, "Invalid procedure call or argument", "");

    EXPECT_EQ("default", settings.ReadEntry("Database", "default"));
    ASSERT_EQ(1u, fakes.dialogs.messages.size());
    const ShownMessage &shown = fakes.dialogs.messages[0];
    EXPECT_EQ("Error: 5. Invalid procedure call or argument", shown.prompt);
    EXPECT_EQ(MESSAGE_OK_ONLY, shown.style);
    EXPECT_EQ("GetKeyValue", shown.title);
    EXPECT_EQ(0u, fakes.registry.OpenKeyCount());
}

TEST_F(ProgramSettingsTest, FailureInsideSetKeyValueIsReportedUnderItsName) {
    Configure("SOFTWARE", "Kestrova", "Quorvex", "Defaults");
    fakes.codePage.toAnsiFailure =
        AppError(ErrorCategory::Program, 5, "Invalid procedure call or argument", "");

    settings.WriteEntry("Database", "x");
    ASSERT_EQ(1u, fakes.dialogs.messages.size());
    EXPECT_EQ("SetKeyValue", fakes.dialogs.messages[0].title);
    EXPECT_FALSE(fakes.registry.Stored(HKEY_CURRENT_USER_VALUE,
                                       "SOFTWARE\\Kestrova\\Quorvex\\Defaults", "Database"));
}

} // namespace

// Facts about the registry that the settings store relies on, and the
// settings store's answers built on them. The same tests run against the
// in-memory fake and against the real registry, so the two cannot drift.

#include "RegistryBed.h"
#include "fakes/FakeServices.h"
#include "settings/CProgramSettings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

constexpr RegistryStatus MoreData = 234;
constexpr RegistryStatus FileNotFound = 2;

class RegistryContract : public ::testing::Test {
protected:
    std::unique_ptr<RegistryBed> bed = MakeRegistryBed();

    struct Query {
        RegistryStatus status;
        std::uint32_t type;
        std::uint32_t size;
        std::string bytes;
    };

    // Opens the test key, queries name with a buffer of bufferSize bytes
    // (none at all for the size query) filled with a guard byte, and closes.
    Query QueryRaw(const std::string &name, std::optional<std::uint32_t> bufferSize) {
        IRegistry &registry = bed->Registry();
        RegistryHandle key = 0;
        EXPECT_EQ(REGISTRY_SUCCESS,
                  registry.OpenKey(HKEY_CURRENT_USER_VALUE, RegistryBed::KeyPath(), 0, 0x3F, key));
        Query result{0, 0xdeadbeef, bufferSize.value_or(0), {}};
        std::string buffer(bufferSize.value_or(0), '\xAB');
        result.status = registry.QueryValue(
            key, name, result.type,
            bufferSize ? reinterpret_cast<unsigned char *>(buffer.data()) : nullptr, result.size);
        result.bytes = buffer;
        EXPECT_EQ(REGISTRY_SUCCESS, registry.CloseKey(key));
        return result;
    }
};

TEST_F(RegistryContract, SizeQueryReportsTypeAndStoredLength) {
    bed->Store("terminated", RegistryType::String, "abc\0"s);
    bed->Store("unterminated", RegistryType::String, "abc");
    bed->Store("zero", RegistryType::String, "");

    const Query terminated = QueryRaw("terminated", std::nullopt);
    EXPECT_EQ(REGISTRY_SUCCESS, terminated.status);
    EXPECT_EQ(RegistryType::String, terminated.type);
    EXPECT_EQ(4u, terminated.size);
    EXPECT_EQ(3u, QueryRaw("unterminated", std::nullopt).size);
    const Query zero = QueryRaw("zero", std::nullopt);
    EXPECT_EQ(REGISTRY_SUCCESS, zero.status);
    EXPECT_EQ(0u, zero.size);
}

TEST_F(RegistryContract, UnterminatedStringReadsBackExactlyAsStored) {
    bed->Store("unterminated", RegistryType::String, "abc");
    const Query read = QueryRaw("unterminated", 3);
    EXPECT_EQ(REGISTRY_SUCCESS, read.status);
    EXPECT_EQ(3u, read.size);
    EXPECT_EQ("abc", read.bytes);
}

TEST_F(RegistryContract, ShortBufferGivesMoreDataAndTheSizeNeeded) {
    bed->Store("text", RegistryType::String, "abcdef\0"s);
    bed->Store("wide", RegistryType::DWord, "\1\0\0\0\0\0\0\0"s);

    const Query text = QueryRaw("text", 3);
    EXPECT_EQ(MoreData, text.status);
    EXPECT_EQ(7u, text.size);
    const Query wide = QueryRaw("wide", 4);
    EXPECT_EQ(MoreData, wide.status);
    EXPECT_EQ(8u, wide.size);
    EXPECT_EQ("\xAB\xAB\xAB\xAB", wide.bytes) << "the buffer must be left untouched";
}

TEST_F(RegistryContract, ShortDWordFillsOnlyItsOwnBytes) {
    bed->Store("short", RegistryType::DWord, "\x07\x01"s);
    const Query read = QueryRaw("short", 4);
    EXPECT_EQ(REGISTRY_SUCCESS, read.status);
    EXPECT_EQ(2u, read.size);
    EXPECT_EQ("\x07\x01\xAB\xAB", read.bytes);
}

TEST_F(RegistryContract, MissingKeyOrValueIsFileNotFound) {
    bed->Store("present", RegistryType::String, "x\0"s);
    EXPECT_EQ(FileNotFound, QueryRaw("absent", std::nullopt).status);

    RegistryHandle key = 0;
    EXPECT_EQ(FileNotFound,
              bed->Registry().OpenKey(HKEY_CURRENT_USER_VALUE, RegistryBed::KeyPath() + "\\Missing",
                                      0, 0x3F, key));
}

class SettingsContract : public ::testing::Test {
protected:
    std::unique_ptr<RegistryBed> bed = MakeRegistryBed();
    FakeFileSystem files;
    FakeDialogs dialogs;
    FakeApplication application;
    FakeSystemFolders folders;
    CProgramSettings settings{
        PlatformServices{bed->Registry(), bed->CodePage(), files, dialogs, application, folders}};

    void SetUp() override {
        settings.RootKey(HKEY_CURRENT_USER_VALUE);
        settings.MainBranch(RegistryBed::Branch);
        settings.RegBase(RegistryBed::Maker);
        settings.Program(RegistryBed::Product);
        settings.Section(RegistryBed::Section);
    }
};

struct StoredValueCase {
    const char *what;
    std::uint32_t type;
    std::string bytes;
    std::string expected;
};

TEST_F(SettingsContract, ReadEntryTurnsEachKindOfValueIntoText) {
    const StoredValueCase cases[] = {
        {"string with its NUL", RegistryType::String, "C:\\Data\\QvxData.mdb\0"s,
         "C:\\Data\\QvxData.mdb"},
        {"string without a NUL", RegistryType::String, "C:\\x.mdb", "C:\\x.mdb"},
        {"only one NUL is dropped", RegistryType::String, "ab\0\0"s, "ab\0"s},
        {"zero-byte string", RegistryType::String, "", "default"},
        {"string holding only a NUL", RegistryType::String, "\0"s, "default"},
        {"dword zero", RegistryType::DWord, "\0\0\0\0"s, "0"},
        {"dword 1234", RegistryType::DWord, "\xD2\x04\0\0"s, "1234"},
        {"negative dword", RegistryType::DWord, "\xFB\xFF\xFF\xFF"s, "-5"},
        {"smallest dword", RegistryType::DWord, "\0\0\0\x80"s, "-2147483648"},
        {"dword of eight bytes", RegistryType::DWord, "\1\0\0\0\0\0\0\0"s, "default"},
        {"expandable string", RegistryType::ExpandString, "%TEMP%\0"s, "default"},
        {"multi-string", RegistryType::MultiString, "a\0b\0\0"s, "default"},
        {"binary", RegistryType::Binary, "\1\2\3"s, "default"},
    };
    for (const StoredValueCase &c : cases) {
        bed->Store("Database", c.type, c.bytes);
        EXPECT_EQ(c.expected, settings.ReadEntry("Database", "default")) << c.what;
    }
    EXPECT_EQ("default", settings.ReadEntry("Absent", "default"));
    EXPECT_TRUE(dialogs.messages.empty());
}

struct UnicodeValueCase {
    const char *what;
    std::string stored; // UTF-8, as a Unicode program stored it
    std::string ansiRead;
    std::string expected;
};

// The ANSI read gives a look-alike that can name another file, so a value
// the code page cannot hold exactly reads as unreadable: the default.
TEST_F(SettingsContract, ValueOutsideTheCodePageIsNotTakenForItsLookAlike) {
    const UnicodeValueCase cases[] = {
        {"fullwidth backslash", "C:\\db\\old\xef\xbc\xbcQvxData.mdb", "C:\\db\\old\\QvxData.mdb",
         "default"},
        {"a with macron", "C:\\db\\Qvxd\xc4\x81t\xc4\x81.mdb", "C:\\db\\Qvxdata.mdb", "default"},
        {"fullwidth asterisk", "C:\\db\\\xef\xbc\x8a.mdb", "C:\\db\\*.mdb", "default"},
        {"in the code page",
         "C:\\Donn\xc3\xa9"
         "es\\QvxData.mdb",
         "C:\\Donn\xc3\xa9"
         "es\\QvxData.mdb",
         "C:\\Donn\xc3\xa9"
         "es\\QvxData.mdb"},
    };
    for (const UnicodeValueCase &c : cases) {
        bed->StoreUnicode("Database", c.stored, c.ansiRead);
        const auto raw = bed->Stored("Database");
        ASSERT_TRUE(raw.has_value()) << c.what;
        EXPECT_EQ(c.ansiRead + '\0', bed->CodePage().FromAnsi(raw->second)) << c.what;
        EXPECT_EQ(c.expected, settings.ReadEntry("Database", "default")) << c.what;
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SettingsContract, WriteEntryStoresTextWithOneNul) {
    settings.WriteEntry("Database", "abc");
    const auto stored = bed->Stored("Database");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(RegistryType::String, stored->first);
    EXPECT_EQ("abc\0"s, stored->second);
    EXPECT_EQ("abc", settings.ReadEntry("Database", "default"));
}

TEST_F(SettingsContract, WriteEntryCreatesTheKey) {
    settings.Program("Created");
    settings.WriteEntry("Database", "D:\\q.mdb");
    EXPECT_EQ("D:\\q.mdb", settings.ReadEntry("Database", "default"));
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace

// What only the real registry and code page can show.

#include "platform/win32/Win32Registry.h"
#include "base/AppError.h"

#include <gtest/gtest.h>

namespace {

// Wine looks only at the low 32 bits of a root key, so a zero-extended value
// would work here and fail on 64-bit Windows: compare the handles themselves.
TEST(Win32Registry, RootKeyValuesBecomeExactlyThePredefinedKeys) {
    EXPECT_EQ(HKEY_CURRENT_USER, Win32Registry::ToHkey(HKEY_CURRENT_USER_VALUE));
    EXPECT_EQ(HKEY_LOCAL_MACHINE, Win32Registry::ToHkey(HKEY_LOCAL_MACHINE_VALUE));
    EXPECT_EQ(HKEY_USERS, Win32Registry::ToHkey(HKEY_USERS_VALUE));
}

// The tests run with the ANSI code page pinned to 1252.
TEST(Win32AnsiCodePage, ConvertsThroughTheSystemCodePage) {
    ASSERT_EQ(1252u, GetACP());
    Win32AnsiCodePage codePage;
    EXPECT_EQ("Donn\xE9"
              "es",
              codePage.ToAnsi("Donn\xC3\xA9"
                              "es"));
    EXPECT_EQ("Donn\xC3\xA9"
              "es",
              codePage.FromAnsi("Donn\xE9"
                                "es"));
    // A character outside the code page becomes the system's default character.
    EXPECT_EQ("?", codePage.ToAnsi("\xE3\x83\x87"));
    EXPECT_EQ(std::string("ab\0", 3), codePage.FromAnsi(std::string("ab\0", 3)));
}

TEST(Win32AnsiCodePage, TextThatIsNotUtf8IsAnError) {
    Win32AnsiCodePage codePage;
    EXPECT_THROW(codePage.ToAnsi("\xFF\xFE"), AppError);
}

} // namespace

#include "base/Utf8.h"
#include "base/AppError.h"

#include <gtest/gtest.h>

namespace {

struct RoundTrip {
    const char *name;
    std::u16string utf16;
    std::string utf8;
};

TEST(Utf8Test, TextAndLoneSurrogatesSurviveTheRoundTrip) {
    const RoundTrip cases[] = {
        {"ascii", u"C:\\db\\QvxData.mdb", "C:\\db\\QvxData.mdb"},
        {"two and three bytes", u"Donn\u00e9es\\\u30c7\u30fc\u30bf",
         "Donn\xc3\xa9"
         "es\\\xe3\x83\x87\xe3\x83\xbc\xe3\x82\xbf"},
        {"surrogate pair", u"\U0001F4BE.mdb", "\xf0\x9f\x92\xbe.mdb"},
        {"lone high surrogate", std::u16string(u"a") + char16_t(0xD83D) + u"b",
         "a\xed\xa0\xbd"
         "b"},
        {"lone low surrogate at the end", std::u16string(u"a") + char16_t(0xDCBE), "a\xed\xb2\xbe"},
        {"low before high", std::u16string{char16_t(0xDC00), char16_t(0xD800)},
         "\xed\xb0\x80\xed\xa0\x80"},
    };
    for (const RoundTrip &c : cases) {
        EXPECT_EQ(c.utf8, Utf16ToUtf8(c.utf16)) << c.name;
        EXPECT_EQ(c.utf16, Utf8ToUtf16(c.utf8)) << c.name;
    }
}

TEST(Utf8Test, BytesThatAreNotUtf8AreTheProgramsOwnError) {
    const char *const cases[] = {"\x80", "\xc3", "\xe3\x83", "\xc0\xaf", "\xf4\x90\x80\x80",
                                 "\xff"};
    for (const char *bytes : cases) {
        try {
            Utf8ToUtf16(bytes);
            ADD_FAILURE() << "accepted " << ::testing::PrintToString(std::string(bytes));
        } catch (const AppError &error) {
            EXPECT_EQ(ErrorCategory::Program, error.Category());
            EXPECT_EQ(ErrorNumber::InvalidText, error.Number());
            // The program's 5 is not Win32's access denied.
            EXPECT_FALSE(error.IsWin32(5));
            EXPECT_FALSE(error.Source().empty());
        }
    }
}

} // namespace

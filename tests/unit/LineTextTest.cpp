// What a line shows of text a user wrote: never a line break of its own,
// never a control that hides or reorders what a reader sees.

#include "platform/LineText.h"

#include <gtest/gtest.h>

namespace {

struct EscapeCase {
    std::string text;
    std::string line;
};

TEST(LineTextTest, ControlsSeparatorsAndBidiMarksAreEscapedAndNothingElse) {
    using namespace std::string_literals;
    const EscapeCase cases[] = {
        {"C:\\Data\\QvxData.mdb", "C:\\Data\\QvxData.mdb"},
        {"a\r\n2026-12-09T10:00:00+01:00 Renamed", "a\\x0D\\x0A2026-12-09T10:00:00+01:00 Renamed"},
        {"tab\there", "tab\\x09here"},
        {"\0\x01\x1B\x1F\x20\x7E\x7F"s, "\\x00\\x01\\x1B\\x1F ~\\x7F"},
        {"\xC2\x80\xC2\x85\xC2\x9F\xC2\xA0", "\\x80\\x85\\x9F\xC2\xA0"}, // C1, then NBSP
        {"\xE2\x80\xA7\xE2\x80\xA8\xE2\x80\xA9\xE2\x80\xAA\xE2\x80\xAE\xE2\x80\xAF",
         "\xE2\x80\xA7\\u2028\\u2029\\u202A\\u202E\xE2\x80\xAF"},
        {"\xE2\x81\xA5\xE2\x81\xA6\xE2\x81\xA9\xE2\x81\xAA",
         "\xE2\x81\xA5\\u2066\\u2069\xE2\x81\xAA"},
        {"Donn\xC3\xA9"
         "es \xF0\x9F\x98\x80 \xED\xA0\x80",
         "Donn\xC3\xA9"
         "es \xF0\x9F\x98\x80 \xED\xA0\x80"},           // a lone surrogate stays as the file has it
        {"\xFF\xC3(\xE2\x80", "\\xFF\\xC3(\\xE2\\x80"}, // bytes that start no character
        {"\\x0D stays", "\\x0D stays"},
        {std::string(4000, 'a') + "\n", std::string(4000, 'a') + "\\x0A"},
    };
    for (const EscapeCase &c : cases) {
        EXPECT_EQ(c.line, EscapedLine(c.text)) << c.text;
    }
}

} // namespace

// Numbers as the log's time stamps and the dialogs' codes show them.

#include "base/NumberText.h"

#include <gtest/gtest.h>

namespace {

struct PaddedCase {
    std::uint32_t value;
    std::size_t digits;
    int base;
    std::string text;
};

TEST(NumberTextTest, ZeroPaddedFillsToTheDigitsAndNeverCuts) {
    const PaddedCase cases[] = {
        {0, 2, 10, "00"},
        {7, 2, 10, "07"},
        {2026, 4, 10, "2026"},
        {12345, 2, 10, "12345"},
        {0, 0, 10, "0"},
        {0x3003, 4, 16, "3003"},
        {0xABC, 4, 16, "0ABC"},
        {0xDEADBEEF, 4, 16, "DEADBEEF"},
        {4294967295u, 1, 10, "4294967295"},
    };
    for (const PaddedCase &c : cases) {
        EXPECT_EQ(c.text, ZeroPadded(c.value, c.digits, c.base)) << c.value;
    }
}

} // namespace

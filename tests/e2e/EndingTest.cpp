// Every way out that is not a rename ends the program normally and leaves
// the database alone.

#include "E2eTest.h"
#include "UserInput.h"
#include "Wait.h"
#include "WindowQueries.h"

namespace {

struct EndingCase {
    const char *name;
    void (*end)(const TorvaneProcess &torvane);
};

const EndingCase EndingCases[] = {
    {"CloseBox",
     [](const TorvaneProcess &torvane) { PostMessageW(torvane.Window(), WM_CLOSE, 0, 0); }},
    {"Escape", [](const TorvaneProcess &torvane) { PressKey(torvane.Focus(), VK_ESCAPE); }},
    {"CancelButton", [](const TorvaneProcess &torvane) { Click(torvane.Control("cmdCancel")); }},
};

class EndingTest : public E2eTest, public ::testing::WithParamInterface<EndingCase> {};

TEST_P(EndingTest, EndsWithCodeZeroAndRenamesNothing) {
    defaultDatabase_.Create(SampleBytes);
    const StoredValue setting = DatabaseSetting::Read();
    TorvaneProcess torvane;
    ASSERT_EQ(DefaultDatabase::Path, DatabaseText(torvane));
    ASSERT_TRUE(WaitUntil([&] { return torvane.Focus() != nullptr; })) << "nothing has the focus";

    GetParam().end(torvane);

    EXPECT_EQ(0U, torvane.WaitForExit());
    ExpectUntouched(DefaultDatabase::Path);
    EXPECT_EQ(setting, DatabaseSetting::Read());
}

INSTANTIATE_TEST_SUITE_P(By, EndingTest, ::testing::ValuesIn(EndingCases), CaseName());

} // namespace

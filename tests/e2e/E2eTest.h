#pragma once

// What every end-to-end test starts from: no stored path, no default
// database nor a VirtualStore copy of it, and a fresh folder of its own under
// %TEMP%\torvane-e2e. All of it is put back or removed afterwards.

#include "DatabaseSetting.h"
#include "DatabaseSlot.h"
#include "TempFolder.h"
#include "TorvaneProcess.h"

#include <gtest/gtest.h>

#include <string>

// Names each case of a table-driven test after the case's name field.
struct CaseName {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case> &testCase) const {
        return testCase.param.name;
    }
};

class E2eTest : public ::testing::Test {
protected:
    E2eTest();

    // A new file in the test's folder with exactly these bytes.
    std::wstring MakeFile(const std::wstring &name, const std::string &bytes = SampleBytes,
                          DWORD attributes = 0) const;

    // Expects one message box titled "Torvane" with exactly this text, and
    // presses its OK.
    void ExpectMessage(const TorvaneProcess &torvane, const std::wstring &text) const;
    // Expects the window to be still open with this text in its text box.
    void ExpectStillOpen(const TorvaneProcess &torvane, const std::wstring &text) const;
    // Expects the file at path to hold bytes under its own name, not renamed.
    void ExpectUntouched(const std::wstring &path, const std::string &bytes = SampleBytes) const;

    static std::wstring DatabaseText(const TorvaneProcess &torvane);

    // Recognisable content, with bytes a text conversion would change.
    static const std::string SampleBytes;

    // %TEMP%\torvane-e2e, which holds the folder of each test.
    TempFolder runFolder_;
    DatabaseSetting setting_;
    DefaultDatabase defaultDatabase_;
    VirtualStoreCopy virtualStoreCopy_;
    TempFolder folder_;
};

// Every label's text fits inside its box at 96 and 144 DPI, wrapped to the
// box's width in the font the label really draws with: Label1 on two lines,
// Label2 and Label3 on one. The measuring is done by torvane_label_fit.exe
// inside its own process, since a label's font cannot be asked for from
// outside; this starts it at each DPI and reads its verdict.

#include "DisplayDpi.h"
#include "E2eTest.h"
#include "Wait.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/Win32Application.h"

#include <stdexcept>
#include <string>

namespace {

struct Verdict {
    DWORD exitCode;
    std::string output;
};

// Runs torvane_label_fit.exe from this program's folder with its output
// going to the file at outputPath, and gives its exit code and output.
Verdict RunLabelFit(const std::wstring &outputPath) {
    const std::wstring self = ExecutablePath();
    const std::wstring executable =
        self.substr(0, self.find_last_of(L'\\') + 1) + L"torvane_label_fit.exe";
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    unique_hfile output(CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                    &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output) {
        throw std::runtime_error("cannot create the output file: error " +
                                 std::to_string(GetLastError()));
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output.get();
    startup.hStdError = output.get();
    PROCESS_INFORMATION started{};
    // Detached: a console of its own would be held by Wine's console host,
    // which keeps the output file open after the program has ended.
    std::wstring commandLine = L"\"" + executable + L"\"";
    if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        DETACHED_PROCESS, nullptr, nullptr, &startup, &started)) {
        throw std::runtime_error("cannot start torvane_label_fit.exe: error " +
                                 std::to_string(GetLastError()));
    }
    const unique_handle process(started.hProcess);
    const unique_handle thread(started.hThread);
    DWORD exitCode = 0;
    if (WaitForSingleObject(process.get(), StepTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 255);
        WaitForSingleObject(process.get(), StepTimeoutMs);
    }
    GetExitCodeProcess(process.get(), &exitCode);
    output.reset();
    return {exitCode, ReadFile(outputPath)};
}

class LabelFitTest : public E2eTest, public ::testing::WithParamInterface<int> {
protected:
    LabelFitTest() : displayDpi_(static_cast<DWORD>(GetParam())) {}

    DisplayDpi displayDpi_;
};

TEST_P(LabelFitTest, EveryLabelsTextFitsItsBoxInTheLabelsOwnFont) {
    const Verdict verdict = RunLabelFit(folder_ / L"label-fit.txt");
    EXPECT_NE(std::string::npos,
              verdict.output.find("screen at " + std::to_string(GetParam()) + " DPI"))
        << verdict.output;
    EXPECT_EQ(0u, verdict.exitCode) << verdict.output;
    for (const char *label : {"Label1: ", "Label2: ", "Label3: "}) {
        EXPECT_NE(std::string::npos, verdict.output.find(label)) << verdict.output;
    }
    std::printf("%s", verdict.output.c_str());
}

INSTANTIATE_TEST_SUITE_P(Dpi, LabelFitTest, ::testing::Values(96, 144),
                         [](const ::testing::TestParamInfo<int> &dpi) {
                             return "At" + std::to_string(dpi.param);
                         });

} // namespace

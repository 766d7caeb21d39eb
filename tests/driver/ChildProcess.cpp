#include "ChildProcess.h"

#include "Wait.h"
#include "platform/win32/WideText.h"

#include <stdexcept>

ChildProcess::ChildProcess(const std::wstring &executable) {
    std::wstring commandLine = L"\"" + executable + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started)) {
        throw std::runtime_error("cannot start " + Narrow(executable) + ": error " +
                                 std::to_string(GetLastError()));
    }
    process_.reset(started.hProcess);
    const unique_handle thread(started.hThread);
    id_ = started.dwProcessId;
    threadId_ = started.dwThreadId;
}

ChildProcess::~ChildProcess() {
    if (Running()) {
        TerminateProcess(process_.get(), 255);
        WaitForSingleObject(process_.get(), StepTimeoutMs);
    }
}

bool ChildProcess::Running() const {
    return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ChildProcess::WaitForExit(DWORD timeoutMs) const {
    DWORD exitCode = 0;
    if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process_.get(), &exitCode)) {
        return std::nullopt;
    }
    return exitCode;
}

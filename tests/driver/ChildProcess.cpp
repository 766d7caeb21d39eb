#include "ChildProcess.h"

#include "Wait.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Application.h"

#include <stdexcept>

namespace {

// The limited token linked to this process's own when that is elevated, or
// none when it is not.
unique_handle LimitedToken() {
    if (!ProcessElevation(GetCurrentProcess()).value_or(false)) {
        return {};
    }
    HANDLE own = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own)) {
        throw std::runtime_error("cannot open the driver's token: error " +
                                 std::to_string(GetLastError()));
    }
    const unique_handle token(own);
    DWORD size = 0;
    TOKEN_LINKED_TOKEN linked{};
    if (!GetTokenInformation(token.get(), TokenLinkedToken, &linked, sizeof linked, &size)) {
        throw std::runtime_error("no limited token: error " + std::to_string(GetLastError()));
    }
    return unique_handle(linked.LinkedToken);
}

} // namespace

ChildProcess::ChildProcess(const std::wstring &executable, const StartOptions &options) {
    // The tests' arguments hold no quotes and end in no backslash, so plain
    // quotes keep each one whole.
    std::wstring commandLine = L"\"" + executable + L"\"";
    for (const std::wstring &argument : options.arguments) {
        commandLine += L" \"" + argument + L"\"";
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (options.standardOutput) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = *options.standardOutput;
        startup.hStdError = *options.standardOutput;
    }
    const BOOL inherit = options.standardOutput.has_value();
    const unique_handle limited = options.withoutElevation ? LimitedToken() : unique_handle();
    const wchar_t *folder = options.currentFolder ? options.currentFolder->c_str() : nullptr;
    PROCESS_INFORMATION started{};
    const BOOL created =
        limited
            ? CreateProcessAsUserW(limited.get(), executable.c_str(), commandLine.data(), nullptr,
                                   nullptr, inherit, 0, nullptr, folder, &startup, &started)
            : CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, inherit, 0,
                             nullptr, folder, &startup, &started);
    if (!created) {
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
        Kill();
    }
}

void ChildProcess::Kill() const {
    TerminateProcess(process_.get(), 255);
    WaitForSingleObject(process_.get(), StepTimeoutMs);
}

bool ChildProcess::Elevated() const { return ProcessElevation(process_.get()).value_or(false); }

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

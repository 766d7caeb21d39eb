#include "QuietRun.h"

#include "ChildProcess.h"
#include "TorvaneProcess.h"
#include "Wait.h"
#include "WindowQueries.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Whatever the pipe holds now, without waiting for more.
void Drain(HANDLE pipe, std::string &into) {
    DWORD available = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        std::string chunk(available, '\0');
        DWORD read = 0;
        if (!ReadFile(pipe, chunk.data(), available, &read, nullptr) || read == 0) {
            return;
        }
        into.append(chunk, 0, read);
    }
}

// Watches torvane until it ends, reading what it writes to pipe (if any).
QuietRun Watch(const ChildProcess &torvane, HANDLE pipe) {
    QuietRun run{};
    const DWORD start = GetTickCount();
    std::optional<DWORD> exitCode;
    // Polled every millisecond or so, so even a window that shows for a
    // moment is seen.
    while (!(exitCode = torvane.WaitForExit(0))) {
        for (HWND window : TopLevelWindowsOf(torvane.Id())) {
            if (IsWindowVisible(window)) {
                const std::string seen = Describe(window);
                if (std::find(run.windowsSeen.begin(), run.windowsSeen.end(), seen) ==
                    run.windowsSeen.end()) {
                    run.windowsSeen.push_back(seen);
                }
            }
        }
        if (pipe != nullptr) {
            Drain(pipe, run.output);
        }
        Sleep(1);
        if (GetTickCount() - start > StepTimeoutMs) {
            throw std::runtime_error(
                "Torvane keeps running; windows seen: " + std::to_string(run.windowsSeen.size()) +
                " " + (run.windowsSeen.empty() ? "" : run.windowsSeen.front()));
        }
    }
    if (pipe != nullptr) {
        Drain(pipe, run.output);
    }
    run.exitCode = *exitCode;
    return run;
}

// A pipe for a program's standard output, holding size bytes: the write
// end inheritable, the read end not.
std::pair<unique_handle, unique_handle> OutputPipe(DWORD size) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, size)) {
        throw std::runtime_error("cannot make a pipe: error " + std::to_string(GetLastError()));
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    return {unique_handle(readEnd), unique_handle(writeEnd)};
}

} // namespace

QuietRun RunTorvane(const std::vector<std::wstring> &arguments) {
    return RunTorvane(StartOptions{arguments, std::nullopt, false});
}

QuietRun RunTorvane(StartOptions options) {
    auto [reader, writer] = OutputPipe(0);
    options.standardOutput = writer.get();
    const ChildProcess torvane(BuiltTorvane(), options);
    writer.reset(); // the program's copy is the only one left
    return Watch(torvane, reader.get());
}

QuietRun RunTorvaneIntoFile(const std::vector<std::wstring> &arguments) {
    wchar_t folder[MAX_PATH + 1] = {};
    wchar_t name[MAX_PATH + 1] = {};
    if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"tvo", 0, name) == 0) {
        throw std::runtime_error("no name for an output file: error " +
                                 std::to_string(GetLastError()));
    }
    // The program writes through its copy of this handle, and so moves the
    // position both share: the file is read from its start once it has ended.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const unique_hfile file(CreateFileW(
        name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        &inheritable, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!file) {
        throw std::runtime_error("cannot make an output file: error " +
                                 std::to_string(GetLastError()));
    }
    QuietRun run =
        Watch(ChildProcess(BuiltTorvane(), StartOptions{arguments, file.get(), false}), nullptr);
    SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) {
        run.output.append(chunk, read);
    }
    return run;
}

QuietRun RunTorvaneWithoutConsole(const std::vector<std::wstring> &arguments) {
    return Watch(ChildProcess(BuiltTorvane(), StartOptions{arguments, HANDLE{}, false}), nullptr);
}

// One byte of room: a line written waits in the pipe, and its writer with
// it, until the line is read.
HeldRun::HeldRun(const std::vector<std::wstring> &arguments) : HeldRun(OutputPipe(1), arguments) {}

HeldRun::HeldRun(std::pair<unique_handle, unique_handle> pipe,
                 const std::vector<std::wstring> &arguments)
    : reader_(std::move(pipe.first)),
      torvane_(BuiltTorvane(), StartOptions{arguments, pipe.second.get(), false}) {}

bool HeldRun::Wrote() const {
    DWORD waiting = 0;
    return PeekNamedPipe(reader_.get(), nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0;
}

QuietRun HeldRun::Finish() const { return Watch(torvane_, reader_.get()); }

#pragma once

// A program the driver starts and watches from outside. One still running
// when its owner goes away is ended, so no run leaves a process behind.

#include "platform/win32/UniqueHandles.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// How a program is started.
struct StartOptions {
    // Each one quoted.
    std::vector<std::wstring> arguments;
    // Given (an inheritable handle, or null for none at all), the program
    // gets exactly that as its standard output and error; otherwise
    // whatever the system hands down.
    std::optional<HANDLE> standardOutput;
    // With the limited token linked to an elevated driver's own, as Windows
    // starts an administrator's programs; otherwise with the driver's token.
    bool withoutElevation = false;
    // The folder the program starts in; the driver's own when none.
    std::optional<std::wstring> currentFolder = std::nullopt;
};

class ChildProcess {
public:
    // Starts the program; throws, naming it, if it cannot be started.
    explicit ChildProcess(const std::wstring &executable, const StartOptions &options = {});
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;
    ~ChildProcess();

    HANDLE Handle() const { return process_.get(); }
    DWORD Id() const { return id_; }
    DWORD ThreadId() const { return threadId_; }
    bool Running() const;
    // True when the program runs with full administrator rights.
    bool Elevated() const;
    // The exit code once the program has ended within timeoutMs, else nothing.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;
    // Ends the program at once, as a fleet agent's timeout does, and waits
    // until it has gone.
    void Kill() const;

private:
    unique_handle process_;
    DWORD id_ = 0;
    DWORD threadId_ = 0;
};

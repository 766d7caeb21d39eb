#pragma once

// A program the driver starts and watches from outside. One still running
// when its owner goes away is ended, so no run leaves a process behind.

#include "platform/win32/UniqueHandles.h"

#include <windows.h>

#include <optional>
#include <string>

class ChildProcess {
public:
    // Starts the program; throws, naming it, if it cannot be started.
    explicit ChildProcess(const std::wstring &executable);
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;
    ~ChildProcess();

    HANDLE Handle() const { return process_.get(); }
    DWORD Id() const { return id_; }
    DWORD ThreadId() const { return threadId_; }
    bool Running() const;
    // The exit code once the program has ended within timeoutMs, else nothing.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;

private:
    unique_handle process_;
    DWORD id_ = 0;
    DWORD threadId_ = 0;
};

#pragma once

#include "platform/IRunOutput.h"
#include "platform/win32/UniqueHandles.h"

#include <windows.h>

#include <string>

// Lines of a command-line run: to standard output when it is redirected,
// else to the console of the process that started the program (a windowed
// program has none of its own); and the log, UTF-8, each line after its
// local time stamp, in a place OpenGuardedLog allows.
class Win32Output : public IRunOutput {
public:
    Win32Output();

    bool HasConsole() override { return target_ != Target::None; }
    void OpenLog(const std::string &path, bool privileged) override;

protected:
    void Write(const std::string &line) override;
    bool Append(const std::string &line) override;

private:
    enum class Target { None, File, Console };

    Target target_ = Target::None;
    HANDLE output_ = nullptr; // standard output, or the console's, below
    unique_hfile console_;
    unique_hfile log_;
};

// The local time now in ISO 8601, with its offset from UTC:
// "2026-12-08T22:36:05+01:00".
std::string LocalTimeStamp();

#include "platform/win32/Win32Output.h"

#include "platform/win32/WideText.h"
#include "platform/win32/Win32FileSystem.h"

#include <cstdio>
#include <cstdlib>

namespace {

void WriteBytes(HANDLE file, const std::string &bytes) {
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

} // namespace

Win32Output::Win32Output() {
    // A redirected standard output (a file or a pipe) wins: a deployment
    // tool reads it. A character device may be a console or the null device.
    HANDLE standard = GetStdHandle(STD_OUTPUT_HANDLE);
    if (standard != nullptr && standard != INVALID_HANDLE_VALUE) {
        const DWORD type = GetFileType(standard);
        if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) {
            target_ = Target::File;
            output_ = standard;
            return;
        }
        DWORD mode = 0;
        if (type == FILE_TYPE_CHAR) {
            output_ = standard;
            target_ = GetConsoleMode(standard, &mode) ? Target::Console : Target::File;
            return;
        }
    }
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        console_.reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
        if (console_) {
            target_ = Target::Console;
            output_ = console_.get();
        }
    }
}

void Win32Output::OpenLog(const std::string &path) {
    // Appending only: an earlier run's lines are never overwritten, and
    // another run may read or append at the same time.
    log_.reset(CreateFileW(LongPathForm(Widen(path)).c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log_) {
        throw Win32Error(GetLastError(), "CreateFileW");
    }
}

void Win32Output::WriteLine(const std::string &line) {
    switch (target_) {
    case Target::Console: {
        const std::wstring text = Widen(line + "\r\n");
        DWORD written = 0;
        WriteConsoleW(output_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        break;
    }
    case Target::File:
        WriteBytes(output_, line + "\r\n");
        break;
    case Target::None:
        break;
    }
    if (log_) {
        // One write per line, so lines of runs that share a log never mix.
        WriteBytes(log_.get(), LocalTimeStamp() + " " + line + "\r\n");
    }
}

std::string LocalTimeStamp() {
    FILETIME utc{};
    GetSystemTimeAsFileTime(&utc);
    SYSTEMTIME utcTime{};
    SYSTEMTIME local{};
    FileTimeToSystemTime(&utc, &utcTime);
    SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &local);
    FILETIME localFile{};
    SystemTimeToFileTime(&local, &localFile);
    const auto ticks = [](const FILETIME &time) {
        return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
                                      time.dwLowDateTime);
    };
    // Both times are whole milliseconds apart from the offset; round to minutes.
    const long long offsetTicks = ticks(localFile) - ticks(utc);
    const long long tickPerMinute = 600000000LL;
    const long long minutes =
        (offsetTicks + (offsetTicks >= 0 ? 1 : -1) * tickPerMinute / 2) / tickPerMinute;
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02uT%02u:%02u:%02u%c%02lld:%02lld", local.wYear,
                  local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond,
                  minutes < 0 ? '-' : '+', std::llabs(minutes) / 60, std::llabs(minutes) % 60);
    return stamp;
}

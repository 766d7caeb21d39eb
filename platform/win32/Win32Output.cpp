#include "platform/win32/Win32Output.h"

#include "base/NumberText.h"
#include "platform/LogPlace.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32LogPlaces.h"

#include <cstdint>
#include <cstdlib>

namespace {

// True when every byte was written.
bool WriteBytes(HANDLE file, const std::string &bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace

Win32Output::Win32Output() {
    // Standard output when there is one: redirected to a file or a pipe
    // (what a deployment tool reads), or a console handed down. A windowed
    // program started from a console gets none: it attaches to that one.
    HANDLE standard = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (standard != nullptr && standard != INVALID_HANDLE_VALUE &&
        GetFileType(standard) != FILE_TYPE_UNKNOWN) {
        output_ = standard;
        target_ = GetConsoleMode(standard, &mode) ? Target::Console : Target::File;
        return;
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

void Win32Output::OpenLog(const std::string &path, bool privileged) {
    Win32LogPlaces places;
    OpenGuardedLog(places, path, privileged);
    log_ = places.TakeLog();
}

void Win32Output::Write(const std::string &line) {
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
}

bool Win32Output::Append(const std::string &line) {
    // One write per line, so lines of runs that share a log never mix.
    return log_ && WriteBytes(log_.get(), LocalTimeStamp() + " " + line + "\r\n");
}

std::string LocalTimeStamp() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    TIME_ZONE_INFORMATION zone{};
    const DWORD season = GetTimeZoneInformation(&zone);
    long bias = zone.Bias; // minutes to add to local time for UTC
    if (season == TIME_ZONE_ID_DAYLIGHT) {
        bias += zone.DaylightBias;
    } else if (season == TIME_ZONE_ID_STANDARD) {
        bias += zone.StandardBias;
    }
    const auto offset = static_cast<std::uint32_t>(std::labs(bias));
    return ZeroPadded(local.wYear, 4) + '-' + ZeroPadded(local.wMonth, 2) + '-' +
           ZeroPadded(local.wDay, 2) + 'T' + ZeroPadded(local.wHour, 2) + ':' +
           ZeroPadded(local.wMinute, 2) + ':' + ZeroPadded(local.wSecond, 2) +
           (bias > 0 ? '-' : '+') + ZeroPadded(offset / 60, 2) + ':' + ZeroPadded(offset % 60, 2);
}

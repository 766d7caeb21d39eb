#include "Jobs.h"

#include "UserInput.h"
#include "WatchedProcess.h"
#include "floor/FloorWindow.h"
#include "platform/win32/WideText.h"
#include "ui/win32/ControlIds.h"

namespace {

constexpr wchar_t TorvaneCaption[] = L"Rename Quorvex Database - Version " TORVANE_VERSION;
constexpr wchar_t TorvaneTitle[] = L"Torvane";

double KiB(SIZE_T bytes) { return static_cast<double>(bytes) / 1024.0; }

// Every window job ends alike: the memory figure just before the last
// click, the click, and the wait for the program to end, so the driver does
// the same inside every timed run.
Timing ClickLastAndWait(const WatchedProcess &program, double startupMs, HWND button) {
    const SIZE_T peak = program.PeakWorkingSet();
    Click(button);
    program.WaitForExit();
    return {startupMs, program.ElapsedMs(), KiB(peak)};
}

} // namespace

Timing RunTorvane(const std::wstring &folder, const SampleDatabase &sample) {
    sample.Reset();
    WatchedProcess torvane(folder + L"Torvane.exe");
    HWND window =
        torvane.WaitUntilReady(TorvaneCaption, ControlIdOf("txtDatabaseFile"), sample.Path());
    const double startup = torvane.ElapsedMs();

    Click(GetDlgItem(window, ControlIdOf("cmdRename")));
    HWND box = torvane.WaitForMessageBox(TorvaneTitle, L"File has been renamed to:\r\n\r\n" +
                                                           sample.RenamedPath());
    return ClickLastAndWait(torvane, startup, GetDlgItem(box, IDOK));
}

Timing RunFloor(const std::wstring &folder, const std::wstring &executable, FloorEnding ending) {
    WatchedProcess floor(folder + executable);
    HWND window = floor.WaitUntilReady(FloorCaption, FloorEditId, FloorText);
    const double startup = floor.ElapsedMs();

    HWND last = GetDlgItem(window, FloorButtonId);
    if (ending == FloorEnding::AfterAMessage) {
        Click(last);
        HWND box = floor.WaitForMessageBox(FloorMessageTitle, FloorMessageText);
        last = GetDlgItem(box, IDOK);
    }
    return ClickLastAndWait(floor, startup, last);
}

Timing RunTorvaneQuiet(const std::wstring &folder, const SampleDatabase &sample) {
    sample.Reset();
    WatchedProcess torvane(folder + L"Torvane.exe", {L"/quiet"});
    torvane.WaitForExit();
    return {0, torvane.ElapsedMs(), 0};
}

Timing RunQuietFloor(const std::wstring &folder, const SampleDatabase &sample) {
    sample.Reset();
    WatchedProcess floor(folder + L"bench_floor_quiet.exe");
    floor.WaitForExit();
    return {0, floor.ElapsedMs(), 0};
}

Timing RunTorvaneAllUsers(const std::wstring &folder, const AllUsersBed &bed) {
    bed.Reset();
    WatchedProcess torvane(folder + L"Torvane.exe", {L"/quiet", L"/allusers"});
    torvane.WaitForExit();
    const double whole = torvane.ElapsedMs();
    bed.CheckSetAside("Torvane /quiet /allusers");
    return {0, whole, 0};
}

Timing RunAllUsersFloor(const std::wstring &folder, const std::wstring &executable,
                        const AllUsersBed &bed) {
    bed.Reset();
    WatchedProcess floor(folder + executable);
    floor.WaitForExit();
    const double whole = floor.ElapsedMs();
    bed.CheckSetAside(Narrow(executable));
    return {0, whole, 0};
}

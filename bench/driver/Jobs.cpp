#include "Jobs.h"

#include "UserInput.h"
#include "WatchedProcess.h"
#include "floor/FloorWindow.h"
#include "ui/win32/ControlIds.h"

namespace {

constexpr wchar_t TorvaneCaption[] = L"Rename Quorvex Database - Version " TORVANE_VERSION;
constexpr wchar_t TorvaneTitle[] = L"Torvane";

double KiB(SIZE_T bytes) { return static_cast<double>(bytes) / 1024.0; }

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
    const SIZE_T peak = torvane.PeakWorkingSet();
    Click(GetDlgItem(box, IDOK));
    torvane.WaitForExit();
    return {startup, torvane.ElapsedMs(), KiB(peak)};
}

Timing RunFloor(const std::wstring &folder, const std::wstring &executable, FloorEnding ending) {
    WatchedProcess floor(folder + executable);
    HWND window = floor.WaitUntilReady(FloorCaption, FloorEditId, FloorText);
    const double startup = floor.ElapsedMs();

    SIZE_T peak = floor.PeakWorkingSet();
    Click(GetDlgItem(window, FloorButtonId));
    if (ending == FloorEnding::AfterAMessage) {
        HWND box = floor.WaitForMessageBox(FloorMessageTitle, FloorMessageText);
        peak = floor.PeakWorkingSet();
        Click(GetDlgItem(box, IDOK));
    }
    floor.WaitForExit();
    return {startup, floor.ElapsedMs(), KiB(peak)};
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

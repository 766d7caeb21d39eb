// Times Torvane.exe against the floor programs, one run of each in turn, and
// prints for each figure the median, least and greatest of Torvane's, of the
// floor's and of Torvane's divided by the floor's in the same round; then the
// ratio of the two least figures, the least disturbed run of each, for all
// runs and for each half of them, so a reader sees how much of a difference
// is noise. Against the floor with Torvane's manifest, and the one that also
// shows a message before it ends, what is left is Torvane's own cost. The
// quiet job (/quiet: start, look up the database, rename it, exit) is set
// against a console program that reads the same registry value and renames
// the file it names.
// Tab-separated, for scripts/bench.
//
//   bench_driver [runs]      runs of each program, 100 unless given

#include "FineTimer.h"
#include "Jobs.h"
#include "Summary.h"
#include "platform/win32/Win32Application.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int DefaultRuns = 100;
// Lets the last program's process finish going away before the next starts.
constexpr DWORD SettleMs = 100;

int RunsFrom(int argc, char **argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : DefaultRuns;
    if (runs < 2) {
        throw std::runtime_error("the number of runs must be a whole number of at least 2");
    }
    return runs;
}

std::wstring FolderOf(const std::wstring &path) {
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

struct Round {
    Timing torvane;
    Timing floor;
    Timing floorWithManifest;
    Timing floorWithMessage;
    Timing quiet;
    Timing quietFloor;
};

// One run of each program, each after a pause: the window programs, then
// the quiet job and its floor. Every other round runs each group in reverse,
// so Torvane and its floors take turns at coming first after the pause and
// at following one program or another.
Round RunRound(const std::wstring &folder, const SampleDatabase &sample, bool reversed) {
    Round round{};
    const std::vector<std::function<void()>> windowRuns{
        [&] { round.torvane = RunTorvane(folder, sample); },
        [&] { round.floor = RunFloor(folder, L"bench_floor.exe", FloorEnding::OnTheClick); },
        [&] {
            round.floorWithManifest =
                RunFloor(folder, L"bench_floor_manifest.exe", FloorEnding::OnTheClick);
        },
        [&] {
            round.floorWithMessage =
                RunFloor(folder, L"bench_floor_message.exe", FloorEnding::AfterAMessage);
        },
    };
    const std::vector<std::function<void()>> quietRuns{
        [&] { round.quiet = RunTorvaneQuiet(folder, sample); },
        [&] { round.quietFloor = RunQuietFloor(folder, sample); },
    };
    for (const auto *runs : {&windowRuns, &quietRuns}) {
        for (std::size_t i = 0; i < runs->size(); ++i) {
            Sleep(SettleMs);
            (*runs)[reversed ? runs->size() - 1 - i : i]();
        }
    }
    return round;
}

void PrintSummary(const Summary &summary) {
    std::printf("\t%.3f\t%.3f\t%.3f", summary.median, summary.least, summary.greatest);
}

// Torvane's least figure over the floor's least, over rounds [first, last).
double LeastRatio(double Timing::*figure, Timing Round::*ourRun, Timing Round::*floor,
                  const std::vector<Round> &rounds, std::size_t first, std::size_t last) {
    std::vector<double> ours;
    std::vector<double> floors;
    for (std::size_t i = first; i < last; ++i) {
        ours.push_back((rounds[i].*ourRun).*figure);
        floors.push_back((rounds[i].*floor).*figure);
    }
    return Summarise(ours).least / Summarise(floors).least;
}

// One figure of ourRun, Torvane's run of some job, against floor's.
void PrintFigure(const char *name, double Timing::*figure, Timing Round::*ourRun,
                 Timing Round::*floor, const std::vector<Round> &rounds) {
    std::vector<double> ours;
    std::vector<double> floors;
    std::vector<double> ratios;
    for (const Round &round : rounds) {
        ours.push_back((round.*ourRun).*figure);
        floors.push_back((round.*floor).*figure);
        ratios.push_back((round.*ourRun).*figure / (round.*floor).*figure);
    }
    const std::size_t half = rounds.size() / 2;
    std::printf("%s", name);
    PrintSummary(Summarise(ours));
    PrintSummary(Summarise(floors));
    PrintSummary(Summarise(ratios));
    std::printf("\t%.3f\t%.3f\t%.3f\n", LeastRatio(figure, ourRun, floor, rounds, 0, rounds.size()),
                LeastRatio(figure, ourRun, floor, rounds, 0, half),
                LeastRatio(figure, ourRun, floor, rounds, half, rounds.size()));
}

} // namespace

int main(int argc, char **argv) {
    try {
        const int runs = RunsFrom(argc, argv);
        const std::wstring folder = FolderOf(ExecutablePath());
        const SampleDatabase sample;

        const FineTimer timer;

        // The first round fills the caches and starts Wine's own services;
        // it is not counted.
        RunRound(folder, sample, false);

        std::vector<Round> rounds;
        rounds.reserve(static_cast<std::size_t>(runs));
        for (int run = 0; run < runs; ++run) {
            rounds.push_back(RunRound(folder, sample, run % 2 == 1));
        }
        std::printf("figure\ttorvane_median\ttorvane_least\ttorvane_greatest\tfloor_median\t"
                    "floor_least\tfloor_greatest\tratio_median\tratio_least\tratio_greatest\t"
                    "least_ratio\tleast_ratio_first_half\tleast_ratio_second_half\n");
        PrintFigure("startup_ms_manifest", &Timing::startupMs, &Round::torvane,
                    &Round::floorWithManifest, rounds);
        PrintFigure("whole_ms_message", &Timing::wholeMs, &Round::torvane, &Round::floorWithMessage,
                    rounds);
        PrintFigure("startup_ms", &Timing::startupMs, &Round::torvane, &Round::floor, rounds);
        PrintFigure("whole_ms", &Timing::wholeMs, &Round::torvane, &Round::floor, rounds);
        PrintFigure("whole_ms_manifest", &Timing::wholeMs, &Round::torvane,
                    &Round::floorWithManifest, rounds);
        PrintFigure("peak_working_set_kib", &Timing::peakWorkingSetKiB, &Round::torvane,
                    &Round::floor, rounds);
        PrintFigure("peak_working_set_kib_message", &Timing::peakWorkingSetKiB, &Round::torvane,
                    &Round::floorWithMessage, rounds);
        PrintFigure("quiet_ms", &Timing::wholeMs, &Round::quiet, &Round::quietFloor, rounds);
        return 0;
    } catch (const std::exception &failure) {
        std::fprintf(stderr, "bench_driver: %s\n", failure.what());
        return 1;
    }
}

// Times Torvane.exe against the floor program, one run of each in turn, and
// prints for each figure the median, least and greatest of Torvane's, of the
// floor's and of Torvane's divided by the floor's in the same round: on a
// shared machine only that ratio holds still. The same again against the
// floor built with Torvane's manifest shows what is Torvane's own cost.
// Tab-separated, for scripts/bench.
//
//   bench_driver [runs]      runs of each program, 20 unless given

#include "Jobs.h"
#include "Summary.h"
#include "platform/win32/Win32Application.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int DefaultRuns = 20;
// Lets the last program's process finish going away before the next starts.
constexpr DWORD SettleMs = 100;

int RunsFrom(int argc, char **argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : DefaultRuns;
    if (runs < 1) {
        throw std::runtime_error("the number of runs must be a positive whole number");
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
};

// One run of each program, Torvane first, each after a pause.
Round RunRound(const std::wstring &folder, const SampleDatabase &sample) {
    Round round{};
    Sleep(SettleMs);
    round.torvane = RunTorvane(folder, sample);
    Sleep(SettleMs);
    round.floor = RunFloor(folder, L"bench_floor.exe");
    Sleep(SettleMs);
    round.floorWithManifest = RunFloor(folder, L"bench_floor_manifest.exe");
    return round;
}

void PrintSummary(const Summary &summary) {
    std::printf("\t%.3f\t%.3f\t%.3f", summary.median, summary.least, summary.greatest);
}

void PrintFigure(const char *name, double Timing::*figure, Timing Round::*floor,
                 const std::vector<Round> &rounds) {
    std::vector<double> ours;
    std::vector<double> floors;
    std::vector<double> ratios;
    for (const Round &round : rounds) {
        ours.push_back(round.torvane.*figure);
        floors.push_back((round.*floor).*figure);
        ratios.push_back(round.torvane.*figure / (round.*floor).*figure);
    }
    std::printf("%s", name);
    PrintSummary(Summarise(ours));
    PrintSummary(Summarise(floors));
    PrintSummary(Summarise(ratios));
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv) {
    try {
        const int runs = RunsFrom(argc, argv);
        const std::wstring folder = FolderOf(ExecutablePath());
        const SampleDatabase sample;

        // The first round fills the caches and starts Wine's own services;
        // it is not counted.
        RunRound(folder, sample);

        std::vector<Round> rounds;
        rounds.reserve(static_cast<std::size_t>(runs));
        for (int run = 0; run < runs; ++run) {
            rounds.push_back(RunRound(folder, sample));
        }
        std::printf("figure\ttorvane_median\ttorvane_least\ttorvane_greatest\tfloor_median\t"
                    "floor_least\tfloor_greatest\tratio_median\tratio_least\tratio_greatest\n");
        PrintFigure("startup_ms", &Timing::startupMs, &Round::floor, rounds);
        PrintFigure("whole_ms", &Timing::wholeMs, &Round::floor, rounds);
        PrintFigure("peak_working_set_kib", &Timing::peakWorkingSetKiB, &Round::floor, rounds);
        PrintFigure("startup_ms_manifest", &Timing::startupMs, &Round::floorWithManifest, rounds);
        PrintFigure("whole_ms_manifest", &Timing::wholeMs, &Round::floorWithManifest, rounds);
        return 0;
    } catch (const std::exception &failure) {
        std::fprintf(stderr, "bench_driver: %s\n", failure.what());
        return 1;
    }
}

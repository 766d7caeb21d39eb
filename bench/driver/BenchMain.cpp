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
// The all-users job (/quiet /allusers over logged-off users) is set against
// two console programs that load, read and unload each user's hive and set
// aside the file it names, with 10 users and with users users: the fair
// floor, which does for each user what Torvane must (Local AppData and the
// VirtualStore copy; each file opened once, checked and renamed through that
// handle), and the plain floor, which renames with one MoveFileExW.
// Tab-separated, for scripts/bench.
//
//   bench_driver [runs] [users]   runs of each program, 100 unless given;
//                                 users for the all-users job, 50 unless given

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
constexpr int DefaultUsers = 50;
// The all-users job is also timed over this many users, to show whether
// its time per user stays flat as the users grow.
constexpr int FewUsers = 10;
// Lets the last program's process finish going away before the next starts.
constexpr DWORD SettleMs = 100;

int RunsFrom(int argc, char **argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : DefaultRuns;
    if (runs < 2) {
        throw std::runtime_error("the number of runs must be a whole number of at least 2");
    }
    return runs;
}

int UsersFrom(int argc, char **argv) {
    const int users = argc > 2 ? std::atoi(argv[2]) : DefaultUsers;
    if (users < 1) {
        throw std::runtime_error("the number of users must be a whole number of at least 1");
    }
    return users;
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

struct AllUsersRound {
    Timing torvane;
    Timing fairFloor;
    Timing plainFloor;
};

// Rounds of the all-users job and its floors over a bed of users, each
// round in the other order from the last, after one round not counted.
std::vector<AllUsersRound> RunAllUsersRounds(const std::wstring &folder, int users, int runs) {
    const AllUsersBed bed(users);
    std::vector<AllUsersRound> rounds;
    for (int run = -1; run < runs; ++run) {
        AllUsersRound round{};
        const std::vector<std::function<void()>> jobs{
            [&] { round.torvane = RunTorvaneAllUsers(folder, bed); },
            [&] {
                round.fairFloor = RunAllUsersFloor(folder, L"bench_floor_all_users_fair.exe", bed);
            },
            [&] { round.plainFloor = RunAllUsersFloor(folder, L"bench_floor_all_users.exe", bed); },
        };
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            Sleep(SettleMs);
            jobs[run % 2 == 1 ? jobs.size() - 1 - i : i]();
        }
        if (run >= 0) {
            rounds.push_back(round);
        }
    }
    return rounds;
}

void PrintSummary(const Summary &summary) {
    std::printf("\t%.3f\t%.3f\t%.3f", summary.median, summary.least, summary.greatest);
}

// Torvane's least figure over the floor's least, over rounds [first, last).
template <typename Round>
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
template <typename Round>
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
        const int users = UsersFrom(argc, argv);
        const std::wstring folder = FolderOf(ExecutablePath());
        const FineTimer timer;

        std::vector<Round> rounds;
        rounds.reserve(static_cast<std::size_t>(runs));
        {
            const SampleDatabase sample;
            // The first round fills the caches and starts Wine's own
            // services; it is not counted.
            RunRound(folder, sample, false);
            for (int run = 0; run < runs; ++run) {
                rounds.push_back(RunRound(folder, sample, run % 2 == 1));
            }
        }
        // With the sample's setting gone, the running user has no database:
        // the floor passes over a user whose hive is in use, and Torvane
        // finds nothing to do for them.
        const std::vector<AllUsersRound> few = RunAllUsersRounds(folder, FewUsers, runs);
        const std::vector<AllUsersRound> many = RunAllUsersRounds(folder, users, runs);
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
        PrintFigure("all_users_few_ms", &Timing::wholeMs, &AllUsersRound::torvane,
                    &AllUsersRound::fairFloor, few);
        PrintFigure("all_users_many_ms", &Timing::wholeMs, &AllUsersRound::torvane,
                    &AllUsersRound::fairFloor, many);
        PrintFigure("all_users_few_ms_plain", &Timing::wholeMs, &AllUsersRound::torvane,
                    &AllUsersRound::plainFloor, few);
        PrintFigure("all_users_many_ms_plain", &Timing::wholeMs, &AllUsersRound::torvane,
                    &AllUsersRound::plainFloor, many);
        std::printf("all_users_counts\t%d\t%d\n", FewUsers, users);
        return 0;
    } catch (const std::exception &failure) {
        std::fprintf(stderr, "bench_driver: %s\n", failure.what());
        return 1;
    }
}

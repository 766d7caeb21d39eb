#pragma once

// How a run without a window ends: everything that decides its exit code,
// gathered from every step, and the one table that turns it into the code
// a deployment tool reads.

#include <cstddef>
#include <optional>
#include <string>

// A failure that may decide the exit code, named as the summary names it:
// "<path> in use for ann (S-1-5-21-...)".
struct RunFailure {
    int code = 0;
    std::string what;
};

// What the plan came to, counted as its lines count it.
struct PlanTally {
    // Some copy the run may act on holds a file at either name.
    bool foundAny = false;
    // Renamed by the run (or, tested by a check, that it would rename).
    std::size_t changed = 0;
    std::size_t alreadySo = 0;
    // The first failure among the copies, in the order of the lines.
    std::optional<RunFailure> firstFailure;
    // The first copy whose old name could not be given back after a race.
    std::optional<RunFailure> moveBackFailure;
};

struct RunEnd {
    // A check: 1 says a run would rename a copy, and 1 from a step becomes
    // 31, so that 1 keeps its one meaning.
    bool check = false;
    // The run ended before any file was looked at: a bad command line (87),
    // no administrator rights (740), the users' lock (32, 1359), the log
    // (110). Nothing else counts then.
    std::optional<RunFailure> refused;
    // Ctrl+C or Ctrl+Break: the run renamed nothing more.
    bool cancelled = false;
    // The first failure reading the database's path or the users' settings.
    std::optional<RunFailure> search;
    PlanTally plan;
    // A hive still loaded at the end of the run.
    std::optional<RunFailure> hives;
    // A line could not be written to the log.
    std::optional<RunFailure> log;
};

// The exit code, and the failure it comes from when it comes from one: in
// order, a refusal before the run, a move back that failed (the machine
// needs a look), a cancelled run (1223), a check that would rename (1), the
// first failure of the search, then of the plan, a hive left loaded, no
// copy with a file at either name (2), a log that lacks lines (110), else
// 0.
RunFailure DecideExit(const RunEnd &end);

#pragma once

// One timed run of each program, from its start to its end.

#include "AllUsersBed.h"
#include "SampleDatabase.h"

#include <string>

struct Timing {
    // From CreateProcess until the window shows its text and waits for input.
    double startupMs;
    // From CreateProcess until the process has ended.
    double wholeMs;
    // Measured just before the last click.
    double peakWorkingSetKiB;
};

// Torvane's whole job: start, Rename Database, OK on the report, exit.
Timing RunTorvane(const std::wstring &folder, const SampleDatabase &sample);
// Torvane's quiet job: start with /quiet, find the database, rename it,
// exit. Only wholeMs is measured.
Timing RunTorvaneQuiet(const std::wstring &folder, const SampleDatabase &sample);
// Its floor's: a console program that reads the same registry value and
// renames the file it names.
Timing RunQuietFloor(const std::wstring &folder, const SampleDatabase &sample);
// Torvane's all-users job over the bed's users: /quiet /allusers, run as
// the administrator the driver is. Only wholeMs is measured.
Timing RunTorvaneAllUsers(const std::wstring &folder, const AllUsersBed &bed);
// One of its floors': executable, in folder, a console program that loads,
// reads and unloads each user's hive and sets aside the files it names.
// Only wholeMs is measured.
Timing RunAllUsersFloor(const std::wstring &folder, const std::wstring &executable,
                        const AllUsersBed &bed);
// How a build of the floor ends once its button is clicked.
enum class FloorEnding { OnTheClick, AfterAMessage };

// The floor's: start, one click on its button, OK on its message if it shows
// one, exit. executable names which build of it, in folder.
Timing RunFloor(const std::wstring &folder, const std::wstring &executable, FloorEnding ending);

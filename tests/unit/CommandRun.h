#pragma once

// A command line run over fresh fakes, as start-up runs it, and what it
// left: for the table-driven tests of the runs without a window.

#include "app/modMain.h"
#include "core/CommandJob.h"
#include "fakes/FakeServices.h"
#include "fakes/FakeUserProfiles.h"

#include <functional>
#include <string>
#include <vector>

struct CommandRun {
    int exitCode;
    std::vector<std::string> files; // the files left, sorted
    std::vector<std::string> lines;
    std::size_t messagesShown;
    std::size_t keysOpened;
};

// Runs arguments over fakes that hold the files before, after arrange has
// set them up further.
inline CommandRun RunOver(const std::vector<std::string> &arguments,
                          const std::vector<std::string> &before,
                          const std::function<void(FakeServices &)> &arrange = {}) {
    FakeServices fakes;
    FakeUserProfiles profiles;
    FakeRunOutput output;
    for (const std::string &file : before) {
        fakes.files.AddFile(file);
    }
    if (arrange) {
        arrange(fakes);
    }
    const ProgramSettingsLifetime lifetime;
    const int exitCode =
        RunCommand(fakes.Services(), profiles, output, ParseCommandLine(arguments), "Torvane");
    return {exitCode, fakes.files.Names(), output.lines, fakes.dialogs.messages.size(),
            fakes.registry.OpenedPaths().size()};
}

#pragma once

// The log's places as a privileged run sees them: folders and logs with
// their owners, links and final paths, and what was made or opened.

#include "base/AppError.h"
#include "platform/LogPlace.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class FakeLogPlaces : public ILogPlaces {
public:
    static constexpr const char *RunUser = "S-1-5-21-1-2-3-500";

    // What is there, and the final paths that are not a folder's own.
    std::map<std::string, LogPlaceEntry> folders;
    std::map<std::string, std::string> finalPaths;
    std::optional<LogPlaceEntry> existingLog;
    // The final path the log has once opened, when not its own.
    std::optional<std::string> logFinalPath;
    // Folders another process makes, as these entries, just before this
    // run would.
    std::map<std::string, LogPlaceEntry> madeMeanwhile;
    // What was done, in order.
    std::vector<std::pair<std::string, std::string>> made; // folder, sddl
    std::optional<std::pair<std::string, bool>> opened;    // path, guarded
    bool closed = false;
    bool removed = false;

    // An entry owned by sid.
    static LogPlaceEntry Owned(const std::string &sid, const std::string &name = "BUILTIN\\x") {
        return {false, sid, name, {}, 1};
    }

    std::string FullPath(const std::string &path) override { return path; }
    bool SamePath(const std::string &a, const std::string &b) override { return a == b; }
    bool Exists(const std::string &path) override { return folders.count(path) != 0; }
    std::optional<LogPlaceEntry> LookAt(const std::string &path) override {
        const auto found = folders.find(path);
        if (found == folders.end()) {
            return std::nullopt;
        }
        LogPlaceEntry entry = found->second;
        const auto finalPath = finalPaths.find(path);
        entry.finalPath = finalPath == finalPaths.end() ? path : finalPath->second;
        return entry;
    }
    void MakeFolder(const std::string &path, const std::string &sddl) override {
        if (const auto other = madeMeanwhile.find(path); other != madeMeanwhile.end()) {
            folders[path] = other->second;
        }
        if (folders.count(path) != 0) {
            throw AppError(ErrorCategory::Win32, 183, "Exists.", "CreateDirectoryW");
        }
        made.emplace_back(path, sddl);
        folders[path] = Owned("S-1-5-32-544");
    }
    OpenedLog OpenLogFile(const std::string &path, bool guarded) override {
        opened = {path, guarded};
        OpenedLog log{existingLog.has_value(), existingLog.value_or(Owned(RunUser))};
        if (log.entry.finalPath.empty()) {
            log.entry.finalPath = logFinalPath.value_or(path);
        }
        return log;
    }
    void CloseLogFile() override { closed = true; }
    void RemoveLogFile() override { removed = true; }
    std::string RunUserSid() override { return RunUser; }
};

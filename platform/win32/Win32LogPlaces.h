#pragma once

#include "platform/LogPlace.h"
#include "platform/win32/UniqueHandles.h"

#include <windows.h>

#include <string>

// The log's places on Windows: each call one look or one act, the rules
// being OpenGuardedLog's. The log it opens is handed on with TakeLog.
class Win32LogPlaces : public ILogPlaces {
public:
    std::string FullPath(const std::string &path) override;
    bool SamePath(const std::string &a, const std::string &b) override;
    bool Exists(const std::string &path) override;
    std::optional<LogPlaceEntry> LookAt(const std::string &path) override;
    void MakeFolder(const std::string &path, const std::string &sddl) override;
    OpenedLog OpenLogFile(const std::string &path, bool guarded) override;
    void CloseLogFile() override { log_.reset(); }
    void RemoveLogFile() override;
    std::string RunUserSid() override;

    unique_hfile TakeLog() { return std::move(log_); }

private:
    unique_hfile log_;
};

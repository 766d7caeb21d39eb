#pragma once

// A symbolic link for a test, removed (the link alone, never what it points
// to) when its owner goes away: declare it after the folder it lies in.
//
// Windows makes it with CreateSymbolicLinkW, given the privilege or
// developer mode. Wine 8's CreateSymbolicLinkW reports success and makes
// nothing, so there the link is a Unix symbolic link, made by ln through
// the Z: drive. Wine follows such a link when deleting through it (the
// target goes, the link stays), so it is removed the same way, by rm.

#include <windows.h>

#include <string>

class TestLink {
public:
    enum class Kind { File, Folder };

    // Makes link point to target, both full paths; throws if it cannot.
    TestLink(std::wstring link, const std::wstring &target, Kind kind);
    TestLink(const TestLink &) = delete;
    TestLink &operator=(const TestLink &) = delete;
    ~TestLink();

    const std::wstring &Path() const { return link_; }

private:
    std::wstring link_;
    Kind kind_;
    bool unixLink_ = false;
};

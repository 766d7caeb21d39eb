#pragma once

// How the fair all-users floor sets files aside: each file opened once,
// without following a link, checked through that handle and renamed through
// it; a file and the copies that must move with it as one group.

#include <windows.h>

#include <string>
#include <vector>

// A file to set aside. One that came from a user's word (their setting,
// their VirtualStore) is moved only while its final path lies inside
// allowedFolder; empty for any other.
struct FloorCopy {
    std::wstring path;
    std::wstring allowedFolder;
};

// True when path lies inside folder, both written alike, compared as the
// file system compares names.
bool LiesInFolder(const std::wstring &path, const std::wstring &folder);

// Sets aside every copy of group that is there, each renamed to its final
// path plus ".Advanced", never replacing a file. Each is first opened with
// DELETE access and FILE_FLAG_OPEN_REPARSE_POINT, checked to be an ordinary
// file (a hidden or system one is passed over, a link refused) whose final
// path lies where it must, and its folder opened for adding a name; only
// then are they renamed, each through its own handle. A copy in use (32)
// holds back the whole group; one whose new name is taken (183) or that is
// refused (5) holds back nobody; a rename failing otherwise moves back the
// ones already moved. Gives 0 or the first failure.
DWORD SetAsideTogether(const std::vector<FloorCopy> &group);

#include "platform/NetworkPath.h"

#include "base/AsciiText.h"

#include <algorithm>

using AsciiText::StartsIgnoringCase;

bool IsNetworkPath(IFileSystem &files, const std::string &path) {
    // Either slash separates, as the system reads a path.
    std::string rest = path;
    std::replace(rest.begin(), rest.end(), '/', '\\');
    if (StartsIgnoringCase(rest, "\\\\?\\") || StartsIgnoringCase(rest, "\\\\.\\")) {
        rest.erase(0, 4);
        if (StartsIgnoringCase(rest, "UNC\\")) {
            return true;
        }
    } else if (StartsIgnoringCase(rest, "\\\\")) {
        return true;
    }
    const char drive = rest.empty() ? '\0' : AsciiText::Upper(rest[0]);
    if (drive >= 'A' && drive <= 'Z' && rest.size() >= 2 && rest[1] == ':') {
        return files.IsNetworkDrive(std::string{drive, ':', '\\'});
    }
    return false;
}

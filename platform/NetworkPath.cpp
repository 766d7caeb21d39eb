#include "platform/NetworkPath.h"

#include <algorithm>

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Whether text starts with prefix (upper case) in any case.
bool StartsWith(const std::string &text, const std::string &prefix) {
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(),
                                                      [](char p, char t) { return p == Upper(t); });
}

} // namespace

bool IsNetworkPath(IFileSystem &files, const std::string &path) {
    // Either slash separates, as the system reads a path.
    std::string rest = path;
    std::replace(rest.begin(), rest.end(), '/', '\\');
    if (StartsWith(rest, "\\\\?\\") || StartsWith(rest, "\\\\.\\")) {
        rest.erase(0, 4);
        if (StartsWith(rest, "UNC\\")) {
            return true;
        }
    } else if (StartsWith(rest, "\\\\")) {
        return true;
    }
    const char drive = rest.empty() ? '\0' : Upper(rest[0]);
    if (drive >= 'A' && drive <= 'Z' && rest.size() >= 2 && rest[1] == ':') {
        return files.IsNetworkDrive(std::string{drive, ':', '\\'});
    }
    return false;
}

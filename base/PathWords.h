#pragma once

// The words every layer uses of a Windows path, in one place, for the
// program's UTF-8 text and the system's UTF-16 alike: its folder, its last
// name, whether it lies inside a folder, a wildcard in its name, a stream
// after it. Only the backslash separates; how two names compare (without
// regard to case, as the file system compares them) is the caller's.

#include <string>

namespace PathWords {

// The folder part of a path, up to its last backslash (left out), or ""
// for a bare name.
template <typename String> String FolderOf(const String &path) {
    const std::size_t separator = path.find_last_of('\\');
    return separator == String::npos ? String() : path.substr(0, separator);
}

// The name after the last backslash, or the whole path.
template <typename String> String NameOf(const String &path) {
    const std::size_t separator = path.find_last_of('\\');
    return separator == String::npos ? path : path.substr(separator + 1);
}

// The folder that holds path, or "" above a root ("C:\", "\\server"): a
// drive's root keeps its backslash, which makes it the root, not the
// drive's current folder.
template <typename String> String ParentOf(const String &path) {
    const std::size_t separator = path.find_last_of('\\');
    if (separator == String::npos || separator == 0) {
        return String();
    }
    String parent = path.substr(0, separator);
    if (parent.back() == ':') {
        parent.push_back('\\');
    }
    if (parent == path || parent.find_first_not_of('\\') == String::npos) {
        return String();
    }
    return parent;
}

// Whether path lies inside folder, at any depth, both absolute and in the
// same form; same(a, b) compares two pieces of path as the file system
// does.
template <typename String, typename Same>
bool LiesInside(const String &path, const String &folder, Same same) {
    std::size_t length = folder.size();
    while (length > 0 && folder[length - 1] == '\\') {
        --length; // a root, or a folder written with its closing backslash
    }
    return length > 0 && path.size() > length + 1 && path[length] == '\\' &&
           same(path.substr(0, length), folder.substr(0, length));
}

// Whether path is folder itself or lies inside it.
template <typename String, typename Same>
bool IsOrLiesInside(const String &path, const String &folder, Same same) {
    const auto trimmed = [](String text) {
        while (text.size() > 1 && text.back() == '\\') {
            text.pop_back();
        }
        return text;
    };
    return same(trimmed(path), trimmed(folder)) || LiesInside(path, folder, same);
}

// Whether the last name of path holds a wildcard (* or ?), so that it
// names no one file.
template <typename String> bool HasWildcard(const String &path) {
    const String name = NameOf(path);
    return name.find('*') != String::npos || name.find('?') != String::npos;
}

// path without a stream part (":name", ":name:$DATA", "::$DATA"): the file
// whose stream it names. "C:file" is a drive's current folder, no stream.
template <typename String> String WithoutStream(const String &path) {
    const std::size_t separator = path.find_last_of('\\');
    std::size_t name = separator == String::npos ? 0 : separator + 1;
    if (name == 0 && path.size() >= 2 && path[1] == ':') {
        name = 2;
    }
    return path.substr(0, path.find(':', name));
}

} // namespace PathWords

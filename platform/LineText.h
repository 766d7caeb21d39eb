#pragma once

// A line as it is written to the console, standard output or the log: text
// a user wrote (a path, a setting) is data there, never layout.

#include <string>

// line with every character that could break it or hide what it says shown
// as an escape: the C0 controls, DEL and the C1 controls as \x0D (two
// upper-case hex digits), the line and paragraph separators and the
// bidirectional controls as \u202E. A byte that starts no UTF-8 character
// is shown as \xNN too. Everything else, a backslash included, stays itself.
std::string EscapedLine(const std::string &line);

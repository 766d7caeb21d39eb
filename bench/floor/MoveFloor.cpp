// The least program of the quiet job's kind: a console program that renames
// one file, its arguments, with MoveFileExW and ends. Its time is the floor
// Torvane's quiet run is compared with.

#include <windows.h>

int wmain(int argc, wchar_t **argv) {
    if (argc != 3) {
        return ERROR_INVALID_PARAMETER;
    }
    return MoveFileExW(argv[1], argv[2], 0) ? 0 : static_cast<int>(GetLastError());
}

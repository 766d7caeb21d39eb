// The plain floor ends on the click with nothing more.

#include "FloorWindow.h"

void BeforeEnding(HWND) {}

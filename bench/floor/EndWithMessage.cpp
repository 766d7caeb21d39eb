// The floor that ends as Torvane does: one message box, owned by the window,
// before the program ends.

#include "FloorWindow.h"

void BeforeEnding(HWND window) { MessageBoxW(window, FloorMessageText, FloorMessageTitle, MB_OK); }

#pragma once

// What a user does to another process's window, as posted messages, so the
// driver never waits on a modal loop it opens.

#include <windows.h>

#include <string>

// Clicks a button the way BM_CLICK does, without waiting for what follows.
void Click(HWND button);
// Replaces the contents of an edit control, as typing would.
void TypeText(HWND edit, const std::wstring &text);
// A key pressed and released while window has the focus.
void PressKey(HWND window, UINT virtualKey);
// Alt plus a letter while window has the focus: a mnemonic.
void PressAltKey(HWND window, wchar_t letter);

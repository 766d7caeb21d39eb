#pragma once

// Reading another process's windows: texts, classes, places and focus.

#include <windows.h>

#include <string>
#include <vector>

// A message sent to another process's window, failing rather than waiting
// forever when its thread does not answer.
LRESULT SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The text of a window or control, asked of its own thread (WM_GETTEXT), so
// an edit control gives its contents. Throws if the thread does not answer.
std::wstring TextOf(HWND window);
// The caption the system keeps for a window: no message is sent, so it is
// cheap to poll and works even when the owning thread is stuck.
std::wstring CaptionOf(HWND window);
std::wstring ClassOf(HWND window);
// Window classes compare without regard to case ("Static" and "STATIC").
bool HasClass(HWND window, const std::wstring &className);

// Top-level windows of a process, visible or not, in Z order.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);
// The first visible top-level window of a process with this caption, or null.
HWND VisibleWindowCaptioned(DWORD processId, const std::wstring &caption);
// The visible dialog-class (#32770) windows of a process: message boxes and
// the open-file dialog.
std::vector<HWND> DialogsOf(DWORD processId);
// The text of a message box is its child with this id.
constexpr int MessageTextId = 0xFFFF;
bool IsMessageBox(HWND dialog);

// The first window of this class among parent's children and theirs.
HWND DescendantOfClass(HWND parent, const std::wstring &className);

// A child's rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);
// The control that has the keyboard focus in a thread, or null.
HWND FocusOf(DWORD threadId);

// "class 'Button' id 1 text 'OK' visible" and the like, UTF-8, for failure messages.
std::string Describe(HWND window);
std::string Describe(const std::vector<HWND> &windows);

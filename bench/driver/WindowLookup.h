#pragma once

// Another process's windows, found and worked from outside.

#include <windows.h>

#include <functional>
#include <string>

// How long the driver waits for a window's thread to answer.
constexpr DWORD AnswerTimeoutMs = 10000;

// The first visible top-level window of the process that matches, or null.
HWND VisibleWindowOf(DWORD processId, const std::function<bool(HWND)> &matches);
// The caption the system keeps for a window: no message is sent.
std::wstring CaptionOf(HWND window);
// A control's text asked of its own thread, so an edit control gives its
// contents. Throws if the thread does not answer.
std::wstring TextOf(HWND control);
bool HasClass(HWND window, const wchar_t *className);
// Clicks a button without waiting for what the click sets off.
void Click(HWND button);

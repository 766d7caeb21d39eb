#pragma once

// What the floor program shows, so the driver can find and work it.

#include <windows.h>

constexpr wchar_t FloorCaption[] = L"Floor";
constexpr wchar_t FloorText[] = L"C:\\Floor\\QvxData.mdb";
constexpr int FloorEditId = 1000;
constexpr int FloorButtonId = 1001;
// The floor that ends as Torvane does shows this message first.
constexpr wchar_t FloorMessageTitle[] = L"Floor";
constexpr wchar_t FloorMessageText[] = L"Done.";

// What the floor does when its button is clicked, just before it ends; each
// build of the floor links one of these.
void BeforeEnding(HWND window);

#pragma once

// What the floor program shows, so the driver can find and work it.

constexpr wchar_t FloorCaption[] = L"Floor";
constexpr wchar_t FloorText[] = L"C:\\Floor\\QvxData.mdb";
constexpr int FloorEditId = 1000;
constexpr int FloorButtonId = 1001;

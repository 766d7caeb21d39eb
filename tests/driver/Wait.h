#pragma once

#include <windows.h>

#include <functional>

// How long any one step of the program may take before a test gives up.
constexpr DWORD StepTimeoutMs = 10000;

// Polls condition until it holds or timeoutMs passes; true if it held.
bool WaitUntil(const std::function<bool()> &condition, DWORD timeoutMs = StepTimeoutMs);

// The stack protector's guard value and its failure handler, for the mingw
// builds. GCC's own runtime (libssp) seeds the guard through the CryptoAPI,
// which loads half a dozen DLLs at every start (about 35 ms under Wine, most
// of a quiet run). The guard is seeded here instead as Visual C++ seeds its
// /GS cookie: from the clock, the process and thread ids, the tick count and
// the performance counter, and where ASLR put the stack. This file is built
// only with GCC, so its attributes are GCC's.

#include <windows.h>

#include <cstdint>

extern "C" {

std::uintptr_t __stack_chk_guard = 0;

// A smashed stack ends the process at once, with the status Windows uses.
[[noreturn]] void __stack_chk_fail() {
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    for (;;) {
    }
}

} // extern "C"

namespace {

// First among the constructors, before any protected function can run.
__attribute__((constructor(101))) void SeedStackGuard() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    std::uintptr_t seed =
        (static_cast<std::uintptr_t>(now.dwHighDateTime) << 16) ^ now.dwLowDateTime ^
        GetCurrentProcessId() ^ (static_cast<std::uintptr_t>(GetCurrentThreadId()) << 8) ^
        static_cast<std::uintptr_t>(GetTickCount64()) ^
        static_cast<std::uintptr_t>(counter.QuadPart) ^ reinterpret_cast<std::uintptr_t>(&now);
    // A zero byte first stops string overruns from copying the guard.
    __stack_chk_guard = seed << 8;
}

} // namespace

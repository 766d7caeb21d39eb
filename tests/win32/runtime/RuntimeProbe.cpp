// Linked with Torvane's own stack guard, terminate handler and library
// throws: "overrun TEXT" copies TEXT into an eight-byte buffer, which must
// end the process as a smashed stack; "throw" throws what nobody catches;
// "past-the-end" asks a string for a part past its end and exits 0 when that
// was thrown as a failure with a message; with no arguments it exits 0 when
// the guard was seeded (non-zero, low byte zero).

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

extern "C" std::uintptr_t __stack_chk_guard;

namespace {

__attribute__((noinline)) void CopyIntoEightBytes(const char *text) {
    char buffer[8];
    std::strcpy(buffer, text);
    std::printf("%s\n", buffer);
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 3 && std::strcmp(argv[1], "overrun") == 0) {
        CopyIntoEightBytes(argv[2]);
        return 1; // the overrun went unnoticed
    }
    if (argc == 2 && std::strcmp(argv[1], "throw") == 0) {
        throw std::runtime_error("nobody catches this");
    }
    if (argc == 2 && std::strcmp(argv[1], "past-the-end") == 0) {
        try {
            std::printf("%s\n", std::string(argv[1]).substr(64).c_str());
        } catch (const std::exception &failure) {
            return std::strlen(failure.what()) > 0 ? 0 : 3;
        }
        return 4;
    }
    return __stack_chk_guard != 0 && (__stack_chk_guard & 0xFF) == 0 ? 0 : 2;
}

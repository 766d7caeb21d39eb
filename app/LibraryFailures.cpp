// What the standard library throws when it is asked for the impossible (a
// string longer than memory, a position past the end). libstdc++ throws
// through these functions, and a program may define them itself. Its own
// ones build each message through its older string type, whose code alone
// is some 30 KB of the executable; Torvane's throw the same kinds of failure
// with the library's message as it stands. Nothing in Torvane catches a
// particular kind of them: each is a fault of its own, reported with the
// code of one (1359), as before.

#include <exception>

#if defined(__GLIBCXX__)

#include <new>
#include <typeinfo>

namespace {

// The library's message is a literal: it lives as long as the program.
class LibraryFailure : public std::exception {
public:
    explicit LibraryFailure(const char *message) noexcept : message_(message) {}
    const char *what() const noexcept override { return message_; }

private:
    const char *message_;
};

} // namespace

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_bad_exception() { throw bad_exception(); }
void __throw_logic_error(const char *message) { throw LibraryFailure(message); }
void __throw_domain_error(const char *message) { throw LibraryFailure(message); }
void __throw_invalid_argument(const char *message) { throw LibraryFailure(message); }
void __throw_length_error(const char *message) { throw LibraryFailure(message); }
void __throw_out_of_range(const char *message) { throw LibraryFailure(message); }
// The format's numbers are left out: they would need a printf to fill in.
void __throw_out_of_range_fmt(const char *format, ...) { throw LibraryFailure(format); }
void __throw_runtime_error(const char *message) { throw LibraryFailure(message); }
void __throw_range_error(const char *message) { throw LibraryFailure(message); }
void __throw_overflow_error(const char *message) { throw LibraryFailure(message); }
void __throw_underflow_error(const char *message) { throw LibraryFailure(message); }

} // namespace std

#endif

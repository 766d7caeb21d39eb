#pragma once

#include <cstdint>
#include <exception>
#include <string>

// Where an error number comes from. The same value means different things
// in each: the program's own 5 is bad text, Win32's 5 is access denied.
enum class ErrorCategory {
    Win32,        // a Win32 error code, as GetLastError or a registry call gives it
    CommonDialog, // an extended error of the common dialogs (CommDlgExtendedError)
    Program,      // one of the program's own numbers below
    Refusal,      // the program would not act: its number is the Win32 code
                  // that says why (access denied), and no elevation changes that
};

// A failure as the program reports it: a number in its category, a
// description and the procedure it came from. It holds its description once,
// and copies as its members do: failures are copied into plans and reports.
class AppError : public std::exception {
public:
    AppError(ErrorCategory category, std::int32_t number, std::string description,
             std::string source)
        : category_(category), number_(number), description_(std::move(description)),
          source_(std::move(source)) {}

    const char *what() const noexcept override { return description_.c_str(); }

    ErrorCategory Category() const noexcept { return category_; }
    std::int32_t Number() const noexcept { return number_; }
    const std::string &Description() const noexcept { return description_; }
    const std::string &Source() const noexcept { return source_; }
    // True for this Win32 error code, and never for a number of another category.
    bool IsWin32(std::int32_t code) const noexcept {
        return category_ == ErrorCategory::Win32 && number_ == code;
    }

private:
    ErrorCategory category_;
    std::int32_t number_;
    std::string description_;
    std::string source_;
};

// The program's own error numbers, shown as the user has always seen them.
namespace ErrorNumber {
constexpr std::int32_t InvalidText = 5;
constexpr std::int32_t OutOfMemory = 7;
constexpr std::int32_t Internal = 51;
} // namespace ErrorNumber

// Turns whatever was thrown into an AppError, so every report has a number;
// a failure that names no procedure is given source.
AppError ToAppError(const std::exception &failure, const std::string &source = "Torvane");

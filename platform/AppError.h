#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// A failure as the program reports it: a number, a description and the
// procedure it came from.
class AppError : public std::runtime_error {
public:
    AppError(std::int32_t number, std::string description, std::string source = {})
        : std::runtime_error(description), number_(number), description_(std::move(description)),
          source_(std::move(source)) {}

    std::int32_t Number() const noexcept { return number_; }
    const std::string &Description() const noexcept { return description_; }
    const std::string &Source() const noexcept { return source_; }

private:
    std::int32_t number_;
    std::string description_;
    std::string source_;
};

// Error numbers the program raises itself (Win32 failures carry their own codes).
namespace ErrorNumber {
constexpr std::int32_t OutOfMemory = 7;
constexpr std::int32_t Internal = 51;
} // namespace ErrorNumber

// Turns whatever was thrown into an AppError, so every report has a number.
AppError ToAppError(const std::exception &failure);

#pragma once

// The Win32 error codes the program's logic names, as the system defines
// them, for code that is built without the Windows headers.

#include <cstdint>

namespace Win32Code {
constexpr std::int32_t FileNotFound = 2;            // ERROR_FILE_NOT_FOUND
constexpr std::int32_t AccessDenied = 5;            // ERROR_ACCESS_DENIED
constexpr std::int32_t NotEnoughMemory = 8;         // ERROR_NOT_ENOUGH_MEMORY
constexpr std::int32_t GenFailure = 31;             // ERROR_GEN_FAILURE
constexpr std::int32_t SharingViolation = 32;       // ERROR_SHARING_VIOLATION
constexpr std::int32_t InvalidParameter = 87;       // ERROR_INVALID_PARAMETER
constexpr std::int32_t OpenFailed = 110;            // ERROR_OPEN_FAILED
constexpr std::int32_t InvalidName = 123;           // ERROR_INVALID_NAME
constexpr std::int32_t AlreadyExists = 183;         // ERROR_ALREADY_EXISTS
constexpr std::int32_t ElevationRequired = 740;     // ERROR_ELEVATION_REQUIRED
constexpr std::int32_t NoUnicodeTranslation = 1113; // ERROR_NO_UNICODE_TRANSLATION
constexpr std::int32_t Cancelled = 1223;            // ERROR_CANCELLED
constexpr std::int32_t InternalError = 1359;        // ERROR_INTERNAL_ERROR
} // namespace Win32Code

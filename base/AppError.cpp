#include "base/AppError.h"

#include <new>

AppError ToAppError(const std::exception &failure, const std::string &source) {
    if (const auto *known = dynamic_cast<const AppError *>(&failure)) {
        if (!known->Source().empty()) {
            return *known;
        }
        return AppError(known->Category(), known->Number(), known->Description(), source);
    }
    if (dynamic_cast<const std::bad_alloc *>(&failure) != nullptr) {
        return AppError(ErrorCategory::Program, ErrorNumber::OutOfMemory, "Out of memory", source);
    }
    return AppError(ErrorCategory::Program, ErrorNumber::Internal, failure.what(), source);
}

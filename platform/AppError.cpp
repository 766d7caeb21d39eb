#include "platform/AppError.h"

#include <new>

AppError ToAppError(const std::exception &failure) {
    if (const auto *known = dynamic_cast<const AppError *>(&failure)) {
        return *known;
    }
    if (dynamic_cast<const std::bad_alloc *>(&failure) != nullptr) {
        return AppError(ErrorNumber::OutOfMemory, "Out of memory");
    }
    return AppError(ErrorNumber::Internal, failure.what());
}

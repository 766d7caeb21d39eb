#include "core/RunEnd.h"

#include "base/Win32Codes.h"

namespace {

// A check's 1 means "remediation needed" alone.
RunFailure AsCheck(RunFailure failure) {
    if (failure.code == 1) {
        failure.code = Win32Code::GenFailure;
    }
    return failure;
}

} // namespace

RunFailure DecideExit(const RunEnd &end) {
    if (end.refused) {
        return *end.refused;
    }
    if (end.plan.moveBackFailure) {
        return *end.plan.moveBackFailure;
    }
    if (end.cancelled) {
        return {Win32Code::Cancelled, "the run was stopped (Ctrl+C or Ctrl+Break)"};
    }
    if (end.check && end.plan.changed > 0) {
        return {1, {}};
    }
    for (const std::optional<RunFailure> *failure :
         {&end.search, &end.plan.firstFailure, &end.hives}) {
        if (*failure) {
            return end.check ? AsCheck(**failure) : **failure;
        }
    }
    if (!end.plan.foundAny) {
        return {Win32Code::FileNotFound, {}};
    }
    if (end.log) {
        return *end.log;
    }
    return {0, {}};
}

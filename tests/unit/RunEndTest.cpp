// The one table of exit codes: every row of the README's exit table comes
// from DecideExit, and DecideExit gives no code the table leaves out.

#include "core/RunEnd.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>

namespace {

RunFailure Failure(int code) { return {code, "what"}; }

struct ExitCase {
    const char *what;
    RunEnd end;
    int exitCode;
};

RunEnd Found(RunEnd end) {
    end.plan.foundAny = true;
    return end;
}

RunEnd Check(RunEnd end) {
    end.check = true;
    return end;
}

RunEnd WithPlanFailure(int code) {
    RunEnd end = Found({});
    end.plan.firstFailure = Failure(code);
    return end;
}

// end with a failure of code as its field.
RunEnd With(RunEnd end, std::optional<RunFailure> RunEnd::*field, int code) {
    end.*field = Failure(code);
    return end;
}

std::vector<ExitCase> Cases() {
    RunEnd changed = Found({});
    changed.plan.changed = 1;
    RunEnd moveBack = WithPlanFailure(32);
    moveBack.plan.moveBackFailure = Failure(5);
    moveBack.cancelled = true;
    RunEnd cancelled = WithPlanFailure(32);
    cancelled.cancelled = true;
    RunEnd checkChangedOverFailure = WithPlanFailure(32);
    checkChangedOverFailure.plan.changed = 1;
    return {
        {"done", Found({}), 0},
        {"a step that failed with 1", WithPlanFailure(1), 1},
        {"a check that would rename", Check(changed), 1},
        {"a check that would rename outweighs a failure", Check(checkChangedOverFailure), 1},
        {"nothing at either name", {}, 2},
        {"left alone", WithPlanFailure(5), 5},
        {"a hive still loaded", With(Found({}), &RunEnd::hives, 5), 5},
        {"a hive still loaded outweighs nothing to do", With({}, &RunEnd::hives, 5), 5},
        {"a hive comes after the plan's failure", With(WithPlanFailure(183), &RunEnd::hives, 5),
         183},
        {"a check's 1 from a step", Check(WithPlanFailure(1)), 31},
        {"in use", WithPlanFailure(32), 32},
        {"a bad command line", With({}, &RunEnd::refused, 87), 87},
        {"a refusal outweighs everything", With(WithPlanFailure(32), &RunEnd::refused, 740), 740},
        {"the log lacks lines", With(Found({}), &RunEnd::log, 110), 110},
        {"no file outweighs the log", With({}, &RunEnd::log, 110), 2},
        {"a wildcard", WithPlanFailure(123), 123},
        {"both names", WithPlanFailure(183), 183},
        {"cancelled", cancelled, 1223},
        {"a move back that failed outweighs all but a refusal", moveBack, 5},
        {"the search's failure comes first", With(WithPlanFailure(183), &RunEnd::search, 1113),
         1113},
        {"no memory", WithPlanFailure(8), 8},
        {"the lock cannot be taken", With({}, &RunEnd::refused, 1359), 1359},
        {"any other Win32 code", WithPlanFailure(3), 3},
    };
}

TEST(RunEndTest, EachOutcomeGivesTheCodeOfItsRow) {
    for (const ExitCase &c : Cases()) {
        EXPECT_EQ(c.exitCode, DecideExit(c.end).code) << c.what;
    }
}

// The README's exit table: the codes of its first column, and those its
// "any other" row names.
std::set<int> ReadmeCodes(bool anyOther) {
    std::ifstream readme(TORVANE_README);
    std::set<int> codes;
    const std::regex row(R"(^\| (\d+) .*)");
    const std::regex named(R"((\d+) \(ERROR_[A-Z_]+\))");
    for (std::string line; std::getline(readme, line);) {
        std::smatch match;
        if (!anyOther && std::regex_match(line, match, row)) {
            codes.insert(std::stoi(match[1]));
        } else if (anyOther && line.rfind("| any other |", 0) == 0) {
            for (std::sregex_iterator it(line.begin(), line.end(), named), end; it != end; ++it) {
                codes.insert(std::stoi((*it)[1]));
            }
        }
    }
    return codes;
}

TEST(RunEndTest, TheReadmesExitTableAndTheCodesAgreeBothWays) {
    const std::set<int> rows = ReadmeCodes(false);
    const std::set<int> others = ReadmeCodes(true);
    ASSERT_FALSE(rows.empty()) << "no exit table in " << TORVANE_README;
    std::set<int> decided;
    for (const ExitCase &c : Cases()) {
        decided.insert(DecideExit(c.end).code);
    }
    for (const int code : rows) {
        EXPECT_EQ(1U, decided.count(code)) << "the README's row " << code << " has no outcome";
    }
    for (const int code : decided) {
        EXPECT_TRUE(rows.count(code) == 1 || others.count(code) == 1 || code == 3)
            << code << " is in no row of the README's exit table";
    }
}

} // namespace

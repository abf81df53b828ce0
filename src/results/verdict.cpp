#include "results/verdict.h"

#include "burnin/burnin_logic.h"
#include "copier/copier_logic.h"
#include "tester/frame_logic.h"

namespace results {

namespace {

// Which modes of a layout a row applies to: the format and protocol-analysis modes give the
// tester's states other meanings, erase names its pass, the copier's compares name theirs.
enum class Modes {
    Any,
    TesterTest,
    TesterErase,
    TesterFormat,
    TesterProtocol,
    CopierCopy,
    CopierCompare
};

struct Row {
    Layout layout;
    Modes modes;
    uint32_t status;
    const char* key;
    const char* lateKey; // tester state 10 late in the run
};

// clang-format off
const Row kRows[] = {
    {Layout::Tester, Modes::TesterTest,     3,  "passed",            nullptr},
    {Layout::Tester, Modes::TesterErase,    3,  "erased",            nullptr},
    {Layout::Tester, Modes::TesterTest,     4,  "write_error",       nullptr},
    {Layout::Tester, Modes::TesterTest,     5,  "capacity_short",    nullptr},
    {Layout::Tester, Modes::TesterTest,     6,  "usb2",              nullptr},
    {Layout::Tester, Modes::TesterTest,     10, "write_error",       "read_error"},
    {Layout::Tester, Modes::TesterTest,     11, "write_error",       nullptr},
    {Layout::Tester, Modes::TesterTest,     12, "corrupted",         nullptr},
    {Layout::Tester, Modes::TesterTest,     13, "read_slow",         nullptr},
    {Layout::Tester, Modes::TesterTest,     14, "write_slow",        nullptr},
    {Layout::Tester, Modes::TesterFormat,   3,  "formatted",         nullptr},
    {Layout::Tester, Modes::TesterFormat,   4,  "format_error",      nullptr},
    {Layout::Tester, Modes::TesterFormat,   5,  "capacity_short",    nullptr},
    {Layout::Tester, Modes::TesterProtocol, 3,  "usb3",              nullptr},
    {Layout::Tester, Modes::TesterProtocol, 4,  "usb2",              nullptr},
    {Layout::Tester, Modes::TesterProtocol, 5,  "usb3_fault",        nullptr},
    {Layout::Copier, Modes::CopierCopy,     6,  "passed",            nullptr},
    {Layout::Copier, Modes::CopierCopy,     7,  "copy_error",        nullptr},
    {Layout::Copier, Modes::CopierCompare,  6,  "match",             nullptr},
    {Layout::Copier, Modes::CopierCompare,  7,  "mismatch",          nullptr},
    {Layout::Copier, Modes::Any,            9,  "capacity_exceeded", nullptr},
    {Layout::Copier, Modes::Any,            10, "data_exceeded",     nullptr},
    {Layout::Burnin, Modes::Any,            13, "stopped_with_errors", nullptr},
    {Layout::Burnin, Modes::Any,            14, "passed",            nullptr},
    {Layout::Burnin, Modes::Any,            15, "write_stopped",     nullptr},
};
// clang-format on

Modes modesOf(Layout layout, int mode) {
    switch (layout) {
    case Layout::Tester:
        if (mode == tester::kModeFormat)
            return Modes::TesterFormat;
        if (mode == tester::kModeProtocol)
            return Modes::TesterProtocol;
        return mode == tester::kModeErase ? Modes::TesterErase : Modes::TesterTest;
    case Layout::Copier:
        return copier::isCompareOnly(mode) ? Modes::CopierCompare : Modes::CopierCopy;
    case Layout::Burnin:
        break;
    }
    return Modes::Any;
}

bool applies(const Row& row, Layout layout, Modes modes) {
    if (row.layout != layout)
        return false;
    // Erase is a test mode whose pass has a name of its own.
    return row.modes == Modes::Any || row.modes == modes ||
           (row.modes == Modes::TesterTest && modes == Modes::TesterErase);
}

// The frames' counter for the status: pass, fail or no result.
std::optional<Verdict> counted(Layout layout, int mode, uint32_t status) {
    switch (layout) {
    case Layout::Tester:
        switch (tester::finishedOutcome(mode, status)) {
        case tester::Outcome::Passed:
            return Verdict::Pass;
        case tester::Outcome::Failed:
            return Verdict::Fail;
        default:
            return std::nullopt;
        }
    case Layout::Copier: {
        const copier::TargetStatusRow* row = copier::targetStatusRow(status);
        if (!row)
            return std::nullopt;
        return row->counter == copier::Counter::Success ? std::optional(Verdict::Pass)
               : row->counter == copier::Counter::Fail  ? std::optional(Verdict::Fail)
                                                        : std::nullopt;
    }
    case Layout::Burnin: {
        const copier::Counter counter = burnin::statusCounter(status);
        return counter == copier::Counter::Success ? std::optional(Verdict::Pass)
               : counter == copier::Counter::Fail  ? std::optional(Verdict::Fail)
                                                   : std::nullopt;
    }
    }
    return std::nullopt;
}

} // namespace

const char* layoutName(Layout layout) {
    switch (layout) {
    case Layout::Tester:
        return "tester";
    case Layout::Copier:
        return "copier";
    case Layout::Burnin:
        return "burnin";
    }
    return "";
}

const char* verdictName(Verdict verdict) {
    return verdict == Verdict::Pass ? "pass" : "fail";
}

std::optional<Finding> findingOf(Layout layout, int mode, uint32_t status, bool lateError) {
    const std::optional<Verdict> verdict = counted(layout, mode, status);
    if (!verdict)
        return std::nullopt;
    const Modes modes = modesOf(layout, mode);
    const Row* found = nullptr;
    for (const Row& row : kRows) {
        // A row of the mode itself wins over the rows the mode shares.
        if (row.status == status && applies(row, layout, modes) && (!found || row.modes == modes))
            found = &row;
    }
    if (!found)
        return Finding{*verdict, *verdict == Verdict::Pass ? "passed" : "failed"};
    return Finding{*verdict, lateError && found->lateKey ? found->lateKey : found->key};
}

} // namespace results

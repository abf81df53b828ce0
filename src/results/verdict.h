#pragma once
// What a finished port means for the journal: pass or fail and a stable English key, by
// record layout, work mode and status. Which statuses are results and which counter they go
// to is the frames' decision (tester, copier and burn-in logic); this table only names them.

#include <cstdint>
#include <optional>

namespace results {

enum class Layout { Tester, Copier, Burnin };
// "tester", "copier" or "burnin", as the layout column stores it.
const char* layoutName(Layout layout);

enum class Verdict { Pass, Fail };
const char* verdictName(Verdict verdict); // "pass" or "fail"

struct Finding {
    Verdict verdict;
    const char* key;
};

// The verdict of a result status in the work mode in force; none for a status that is no
// result (working, empty, burn-in's uncounted "test complete"). `lateError` tells a tester
// error (state 10) that reads as a read error.
std::optional<Finding> findingOf(Layout layout, int mode, uint32_t status, bool lateError = false);

} // namespace results

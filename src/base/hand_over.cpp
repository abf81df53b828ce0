#include "base/hand_over.h"

namespace h2 {

std::mutex& handOverMutex() {
    static std::mutex mutex;
    return mutex;
}

} // namespace h2

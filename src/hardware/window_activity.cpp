#include "hardware/window_activity.h"

std::atomic<const WindowActivity*> gTesterActivity{nullptr};
std::atomic<const WindowActivity*> gCopierActivity{nullptr};

#include "hardware/boardcontrol.h"

#include "link/engine_messages.h"

// Kept apart so that code built against a test double never needs the engine link.
BoardControl::BoardControl() : BoardControl(*Hardware::getInstance(), sendCmd, h2::realPause) {}

#pragma once
// The panel's own version, shown in hexadecimal next to the engine's.

#include <QString>
#include <cstdint>

constexpr uint32_t kPanelVersion = 3220740; // shown as 312504

inline QString hexVersion(uint32_t version) {
    return QString::number(version, 16);
}

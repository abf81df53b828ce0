// The receive callback fed status traffic in arbitrary pieces, then everything the windows
// draw from the resulting block: the tester frames of all ports, the copier's slowest target
// and the burn-in pass figures. Nothing from the engine may make them read out of bounds,
// divide by zero or overflow.

#include "burnin/burnin_logic.h"
#include "copier/copier_logic.h"
#include "fuzz_support.h"
#include "link/engine_messages.h"
#include "link/status_block.h"
#include "settings/settings.h"
#include "tester/frame_logic.h"

#include <algorithm>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzRoot();
    if (size < 2)
        return 0;
    // First byte: piece size unit; second: the state the frames were drawn in last time.
    const size_t unit = size_t(data[0]) * 67 + 1;
    const uint32_t lastState = data[1] % 16;
    data += 2;
    size -= 2;
    Info.clear();
    for (size_t pos = 0; pos < size;) {
        const size_t piece = std::min(unit, size - pos);
        server_receive_callback(const_cast<uint8_t*>(data + pos), int(piece), 1);
        pos += piece;
    }
    StatusBlock block;
    Info.snapshot(block);
    SettingRecord setting{};
    settings::loadDefaults(setting);
    for (int port = 1; port <= kTesterPorts; ++port)
        (void)tester::drawFrame(port, block.testerPort(port), setting, lastState);
    for (int ports : {1, 2, 8, 16, 32, 120, 121})
        (void)copier::slowestTarget(block, ports);
    for (int i = 0; i < kTesterPorts; ++i) {
        const BurninPortRecord record = block.burninPort(i);
        (void)burnin::errorSum(record);
    }
    return 0;
}

// Status traffic through the receive callback, then drawn as the panel draws it: the block in
// Info goes through the tester, copier and burn-in windows of a large and of a small machine,
// in every work mode of each window. Nothing from the engine may make them crash, hang, read
// out of bounds, divide by zero or overflow.
//
// Input: a shape byte, 21 bytes of settings, then the payload. Shape 0 hands the payload to
// the callback as it is (length words and all); the other shapes make a status block of the
// payload repeated, with a command message before it, an older block or a bad length word.

#include "burnin/mainwindowburnin.h"
#include "copier/mainwindowcopy.h"
#include "fuzz_support.h"
#include "link/engine_messages.h"
#include "link/status_block.h"
#include "settings/settings.h"
#include "tester/mainwindow.h"

#include <QApplication>
#include <cstring>
#include <memory>
#include <vector>

namespace {

const int kTesterModes[] = {0, 1, 2, 8, 9, 10, 11};
const int kCopierModes[] = {3, 4, 5, 6, 12, 13};
constexpr int kBurninMode = 7;

struct Machine {
    std::unique_ptr<MainWindow> tester;
    std::unique_ptr<MainWindowCopy> copier;
    std::unique_ptr<MainWindowBurnin> burnin;
};

// The windows are made once, as the panel makes them at start-up, on the offscreen platform.
std::vector<Machine>& machines() {
    static std::vector<Machine> all = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_receive";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
        std::vector<Machine> made;
        for (int ports : {121, 8}) {
            SettingRecord record{};
            settings::loadDefaults(record);
            record.port_count = ports;
            commitSetting(record);
            Machine m;
            m.tester = std::make_unique<MainWindow>(nullptr, ports);
            m.copier = std::make_unique<MainWindowCopy>(nullptr, ports);
            // The largest burn-in form has 96 frames.
            m.burnin = std::make_unique<MainWindowBurnin>(nullptr, ports == 121 ? 96 : ports);
            m.tester->start();
            m.tester->stop();
            m.copier->start();
            m.copier->stop();
            made.push_back(std::move(m));
        }
        return made;
    }();
    return all;
}

int32_t wordOf(const uint8_t* at) {
    int32_t word;
    memcpy(&word, at, sizeof(word));
    return word;
}

// The settings the frames read on every tick.
SettingRecord settingsOf(const uint8_t* in, int ports) {
    SettingRecord s{};
    settings::loadDefaults(s);
    const uint8_t flags = in[0];
    s.port_count = (flags & 0x40) ? 8 : ports;
    s.machine_type = (flags & 0x01) ? 2 : 0;
    s.after_format = (flags & 0x02) ? 1 : 0;
    s.capfil_test_enable = (flags & 0x04) ? 1 : 0;
    s.capfil_format_enable = (flags & 0x08) ? 1 : 0;
    s.machine_variant = (flags >> 4) & 3 ? 1 + ((flags >> 4) & 3) : 0; // 0, 2, 3, 4
    s.burnin_time = wordOf(in + 1);
    s.burnin_cycle = wordOf(in + 5);
    s.capfil_enable[0] = 1;
    s.capfil_low[0] = wordOf(in + 9);
    s.capfil_high[0] = wordOf(in + 13);
    s.capfil_color[0] = wordOf(in + 17) & 0xFFFFFF;
    return s;
}

// One status block: the length word, then the payload over and over from `skew` on.
void appendBlock(std::vector<uint8_t>& out, const uint8_t* payload, size_t size, size_t skew) {
    const size_t at = out.size();
    out.resize(at + kStatusBlockSize, 0);
    const uint32_t length = kStatusBlockSize;
    memcpy(out.data() + at, &length, sizeof(length));
    if (size == 0)
        return;
    for (size_t i = 4; i < size_t(kStatusBlockSize); ++i)
        out[at + i] = payload[(i - 4 + skew) % size];
}

void tick(Machine& m, const SettingRecord& base) {
    SettingRecord s = base;
    for (int mode : kTesterModes) {
        s.mode = mode;
        commitSetting(s);
        m.tester->update();
    }
    for (int mode : kCopierModes) {
        s.mode = mode;
        commitSetting(s);
        m.copier->JobUiChange();
    }
    s.mode = kBurninMode;
    commitSetting(s);
    m.burnin->JobUiChange();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzRoot();
    std::vector<Machine>& all = machines();
    uint8_t head[22] = {};
    memcpy(head, data, size < sizeof(head) ? size : sizeof(head));
    const uint8_t* payload = data + (size < sizeof(head) ? size : sizeof(head));
    const size_t payloadSize = size < sizeof(head) ? 0 : size - sizeof(head);

    static std::vector<uint8_t> delivery;
    delivery.clear();
    switch (head[0] % 4) {
    case 0:
        delivery.assign(payload, payload + payloadSize);
        break;
    case 1:
        appendBlock(delivery, payload, payloadSize, 0);
        break;
    case 2: {
        const uint32_t message[2] = {8, payloadSize ? payload[0] : 0u};
        delivery.assign(reinterpret_cast<const uint8_t*>(message),
                        reinterpret_cast<const uint8_t*>(message) + sizeof(message));
        appendBlock(delivery, payload, payloadSize, 1);
        appendBlock(delivery, payload, payloadSize, 0);
        break;
    }
    default: {
        appendBlock(delivery, payload, payloadSize, 0);
        const uint32_t bad[2] = {payloadSize ? uint32_t(payload[0]) << 16 : 3u, 0};
        delivery.insert(delivery.end(), reinterpret_cast<const uint8_t*>(bad),
                        reinterpret_cast<const uint8_t*>(bad) + sizeof(bad));
        break;
    }
    }
    Info.clear();
    firstRecv = 1;
    server_receive_callback(delivery.data(), int(delivery.size()), 1);

    const int ports[] = {121, 8};
    for (size_t i = 0; i < all.size(); ++i)
        tick(all[i], settingsOf(head + 1, ports[i]));
    QCoreApplication::sendPostedEvents();
    return 0;
}

// The port frames of the three windows: what a tester frame draws for each state and mode,
// the copier's master and target frames and the burn-in frame (progress, time texts, status
// tables, empty ports, painting and logging once per change, the counter each port goes to),
// and the sizes of their covers.

#include "burnin/framebn.h"
#include "copier/frame_dd.h"
#include "copier/frame_dst.h"
#include "support/stdout_capture.h"
#include "support/window_probe.h"
#include "tester/frame_logic.h"

#include <QLabel>
#include <QProgressBar>
#include <QtTest>
#include <cmath>

using namespace copier;
using namespace tester;

namespace {

constexpr uint64_t kGiB = uint64_t(1) << 30;

// Grade 1 (1000 to 2000 MiB, blue) colours tester formats only: the test-mode switch is off.
SettingRecord setting(int mode, int ports = 48, int variant = 0, int cycles = 5, int hours = 2) {
    SettingRecord s{};
    s.mode = mode;
    s.port_count = ports;
    s.machine_variant = variant;
    s.burnin_cycle = cycles;
    s.burnin_time = hours;
    s.capfil_enable[0] = 1;
    s.capfil_low[0] = 1000;
    s.capfil_high[0] = 2000;
    s.capfil_color[0] = 0x0000ff;
    s.capfil_format_enable = 1;
    return s;
}

// Written 4 MiB of 4 at 8 MiB/s, verified 2 MiB at 5 MiB/s in 3601 s, 16e9 bytes tested of a
// 1 GiB disk formatted exFAT with 32 KiB clusters; rows change the state and a few fields.
TesterPortRecord port(uint32_t state, int64_t writeMs = 61000, uint64_t done = 1 << 20,
                      uint64_t bad = 0, double progress = 42.9, uint64_t total = 4 << 20) {
    return {writeMs,  total, done, {}, bad, {}, 4096, 8 << 20,     5 << 20,
            progress, state, 3601, 64, 512, 3,  0,    16000000000, 1 << 30};
}

// One tester refresh as a line: the counter (-WPF), cover and bar (- kept, S shown, H hidden,
// s shown with the first line blanked) and the bar's value; then status, colour, label,
// label_1_1 to label_1_3 ("-" where left as is); then marks: red speed line, strange file
// system, write speed kept.
QString drawn(const FrameDraw& d) {
    if (d.untouched)
        return QStringLiteral("untouched");
    const auto text = [](const std::optional<QString>& s) { return s.value_or("-"); };
    QString line = QString(QLatin1Char("-WPF"[int(d.outcome)])) +
                   QLatin1Char(d.clearFirstLineIfCovered ? 's' : "-SH"[int(d.cover)]) +
                   QLatin1Char("-SH"[int(d.bar)]) +
                   (d.barValue ? QString::number(*d.barValue) : QString());
    line += '|' + text(d.status) + '|' + (d.style ? d.style->section('#', 1) : "-");
    for (const auto* l : {&d.line, &d.line1, &d.line2, &d.line3})
        line += '|' + text(*l);
    return line + (d.line3Red ? " red" : "") + (d.strangeFsType ? " strange" : "") +
           (d.writeSpeed ? " v" : "");
}

template <typename R> void put(StatusBlock& block, size_t offset, const R& record) {
    memcpy(block.bytes + offset, &record, sizeof record);
}

// A copier block with a job of `job` bytes (prepCounter 7) and the record of `port`.
StatusBlock block(int port, uint32_t connect, uint32_t status, uint64_t copied = 600,
                  uint64_t compared = 0, uint64_t job = 1000, uint32_t twoPass = 0) {
    StatusBlock b{};
    put(b, 32, CopierJobArea{7, 0, job, twoPass, 0});
    put(b, copierPortOffset(port),
        CopierPortRecord{0, copied, compared, 0, 0, 0, 0, connect, status});
    return b;
}

// Pass 3 of a 2 GiB disk, half way through it, 41 % of the test done after 7000 s.
BurninPortRecord rec(uint32_t status, uint32_t errors = 0, uint32_t kind = 0, uint64_t gate = 1,
                     int64_t elapsed = 7000, uint64_t capacity = 2 * kGiB) {
    const uint32_t some = errors / 2, rest = errors - some;
    return {0,        status,      41, 0,    capacity, 3 << 20, 0,    elapsed, 2, {}, gate,
            5 * kGiB, 5000 * 1024, {}, some, 0,        rest,    kind, 0,       0, 0};
}

// A copier or burn-in frame: the counter (-WSF), "c" while the cover is up, the bar ("-"
// while hidden), then labels by name, "#" for the frame colour, "%" for the burn-in test bar.
template <typename F>
QString shown(const F& frame, Counter counter, std::initializer_list<const char*> labels) {
    const auto* bar = frame.template findChild<QProgressBar*>(QStringLiteral("progressBar"));
    QStringList parts{QLatin1Char("-WSF"[int(counter)]) + QString(frame.covered() ? "c" : "") +
                      (bar->isHidden() ? QStringLiteral("-") : QString::number(bar->value()))};
    for (const char* name : labels) {
        const auto* cycle = frame.template findChild<QProgressBar*>("progress_cycle");
        parts << (name[0] == '#'   ? frame.styleSheet().section('#', 1)
                  : name[0] == '%' ? QString::number(cycle->value())
                                   : labelText(&frame, name));
    }
    return parts.join('|');
}

} // namespace

class PortFrames : public QObject {
    Q_OBJECT
private slots:
    void draw();
    void testerTexts();
    void testerEdges();
    void copierRules();
    void target();
    void targetPaintedOnceAndAgain();
    void master();
    void coverSizes();
    void burnin();
};

// A refresh of port 5: work mode, state and the fields a row changes (write time, done, bad
// sectors, progress, total), then what it draws. Drawn again after itself, a finished state
// (passed or failed) is only counted; anything else is drawn again.
void PortFrames::draw() {
    const char* rows[] = {
        "0 0;-S-|就绪|-|-|-|-|-", "0 9;WHH|正在初始化...|FFB3B3||||",
        "0 1;WHS42|写入:1M|dad7d3| |1M|1:1m|8M/s v", "0 1 999;WHS42|写入:1M|dad7d3| |-|-|-",
        "0 1 1000 8388608;WHS42|写入:8M|dad7d3| |4M|1 s|8M/s v",
        "0 1 3601000 0;WHS42|写入:|dad7d3| |4M|1:0:1h|8M/s v",
        "0 1 60000 0 0 42.9 0;WHS42|写入:|dad7d3| ||60 s|8M/s v",
        "0 2;WHS42|校验:1M|-| |2M|1:0:1h|5M/s",
        "0 2 0 1048576 4;WHS42|丢失:2KB 1M|FFB3B3| |2M|1:0:1h|5M/s",
        "0 2 0 0 4;WHS42|丢失:2KB|FFB3B3| |2M|1:0:1h|5M/s",
        "9 2 0 0;WHS42|校验:|dad7d3| |2M|1:0:1h|5M/s", "8 2;WHS42|-|-||||",
        "0 3;PH-42|没发现问题|B3FFE6|15258M |1M|写:8M/s 1:1m|读:5M 1:0h v",
        "0 3 1000;PH-42|没发现问题|B3FFE6|15258M |1M|写: 0|读:5M 1:0h",
        "0 3 1001;PH-42|没发现问题|B3FFE6|15258M |1M|写:8M/s 1 s|读:5M 1:0h v",
        "10 3;PH-42|擦除完成|B3FFE6|-|-|-|-", "0 4;FH-|写入错误|FFB3B3|-|||",
        "0 5;FH-|容量未达标|FF6100|-|-|-|-", "0 6;FHH| USB2.0|FFB3B3||||",
        "0 10 61000 1048576 0 50;FH-50|写入错误|FFB3B3|15258M|1M|写:8M/s 1:1m|读:5M 1:0h v",
        "0 10 61000 1048576 0 50.01;FH-50|读取错误|FFB3B3|15258M|1M|写:8M/s 1:1m|读:5M 1:0h v",
        "9 10 61000 1048576 0 5;FH-5|读取错误|FFB3B3|15258M|1M|写: 0|读:5M 1:0h",
        "0 11 61000 0;FH-42|写入错误|FFB3B3|15258M|-|写:8M/s 1:1m|读:5M 1:0h v",
        "0 12 1000 1048576 4;FH-42|损坏:2KB|FFB3B3|15258M|1M|写: 0|读:5M 1:0h",
        "0 13;FH-42|读速度未达标|FFB3B3|15258M|1M|写:8M/s 1:1m|读:5M 1:0h v",
        "0 14;FH-42|写速度未达标|FFB3B3|15258M|1M|写:8M/s 1:1m|读:5M 1:0h v",
        "0 7;-H-|状态未知|-|-|-|-|-",
        // Format mode: grade 1 colours the capacity of 1024 MiB.
        "1 0;-s-|-|-|-|-|-|-", "1 1;WHS0|正在格式化|dad7d3|1024M|||",
        "1 3;PHS100|格式化成功|0000ff|1024M|1M|exFAT |32KB red",
        "1 4;FHS100|格式化错误|FFB3B3|1024M|||",
        "1 5;FHS100|容量未达标|FF6100|1024M|1M|exFAT |32KB red", "1 2;---|-|-|-|-|-|-",
        // Protocol analysis.
        "11 0;-S-|-|-|-|-|-|-", "11 1;WHH|-|dad7d3|-|-|-|-", "11 3;PHH| USB3.0|B3FFE6||||",
        "11 4;FHH| USB2.0|FFB3B3||||", "11 5;FH-|-|FFB3B3| USB3.0|-|-|-"};
    for (const char* row : rows) {
        const QStringList f = QString::fromUtf8(row).section(';', 0, 0).split(' ');
        const auto field = [&](int i, double otherwise) {
            return i < f.size() ? f[i].toDouble() : otherwise;
        };
        const TesterPortRecord r =
            port(f[1].toUInt(), int64_t(field(2, 61000)), uint64_t(field(3, 1 << 20)),
                 uint64_t(field(4, 0)), field(5, 42.9), uint64_t(field(6, 4 << 20)));
        const SettingRecord s = setting(f[0].toInt());
        const QString expected = QString::fromUtf8(row).section(';', 1);
        QCOMPARE(drawn(drawFrame(5, r, s, 99)), expected);
        const bool finished = expected.startsWith('P') || expected.startsWith('F');
        QCOMPARE(drawn(drawFrame(5, r, s, r.state)),
                 finished ? expected.left(1) + "--|-|-|-|-|-|-" : expected);
    }
}

// Finished and running write time, finished and running read time; the tag behind a tested
// capacity after a format, then the file system of a format result.
void PortFrames::testerTexts() {
    const std::tuple<int64_t, int32_t, const char*> times[] = {
        {60000, 60, "60 s|60 s|60s|60s"},
        {60001, 61, "1:0m|1:0m|1:1m|1:1m"},
        {3600000, 3600, "60:0m|60:0m|60:0m|60:0m"},
        {3601000, 3601, "1:0h|1:0:1h|1:0h|1:0:1h"},
        {7322000, 7322, "2:2h|2:2:2h|2:2h|2:2:2h"}};
    for (const auto& [ms, s, texts] : times)
        QCOMPARE(QStringList({finishedWriteTime(ms), runningWriteTime(ms), finishedReadTime(s),
                              runningReadTime(s)})
                     .join('|'),
                 QString::fromUtf8(texts));
    const std::tuple<int, uint32_t, const char*> systems[] = {
        {1, 1, " FAT16|FAT16 "}, {1, 2, " FAT32|FAT32 "},    {1, 3, " EXFAT|exFAT "},
        {1, 4, " FAT32|FAT12 "}, {1, 9, " |FAT12  strange"}, {2, 3, " |exFAT "}};
    for (const auto& [afterFormat, fsType, texts] : systems) {
        bool strange = true;
        const QString tag = fileSystemTag(afterFormat, fsType, &strange);
        QCOMPARE(tag + '|' + formatFileSystemName(fsType) + (strange ? " strange" : ""),
                 QString::fromUtf8(texts));
    }
}

// The engine gives the cluster size as two factors whose product is a signed 32-bit value;
// the bar shows any progress the engine reports as 0 to 100.
void PortFrames::testerEdges() {
    const std::tuple<uint32_t, uint32_t, const char*> rows[] = {
        {64, 512, "32KB"}, {1, 1, "1Byte"}, {0, 512, "0"}, {0x10000, 0x8000, "0"}};
    for (const auto& [a, b, text] : rows) {
        TesterPortRecord r = port(3);
        r.clusterFactorA = a;
        r.clusterFactorB = b;
        QCOMPARE(drawFrame(2, r, setting(1), 0).line3.value_or("-"), QString::fromUtf8(text));
    }
    const std::pair<double, int> bars[] = {{99.99, 99}, {-0.5, 0}, {std::nan(""), 0}, {1e300, 100}};
    for (const auto& [progress, bar] : bars)
        QCOMPARE(drawFrame(3, port(1, 0, 0, 0, progress), setting(0), 0).barValue.value_or(-1),
                 bar);
    // Machines below 9 ports keep a result when the port turns ready; on copiers port 1 is the
    // master disk, which the tester display leaves alone.
    QCOMPARE(drawn(drawFrame(5, port(0), setting(0, 8), 3)), QStringLiteral("---|-|-|-|-|-|-"));
    QCOMPARE(drawn(drawFrame(5, port(0), setting(0, 9), 3)), QStringLiteral("-S-|就绪|-|-|-|-|-"));
    SettingRecord copier = setting(0);
    copier.machine_type = 2;
    QCOMPARE(drawn(drawFrame(1, port(4), copier, 0)), QStringLiteral("untouched"));
    QCOMPARE(drawFrame(2, port(4), copier, 0).outcome, Outcome::Failed);
    QCOMPARE(drawFrame(1, port(4), setting(0), 0).outcome, Outcome::Failed);
}

// Copy, compare-only and two-pass modes; progress of a job, exact and clamped for any amounts;
// copy and compare times.
void PortFrames::copierRules() {
    QString kinds;
    for (int mode = 0; mode <= 14; ++mode)
        kinds += QString::asprintf("%d%d%d ", isCopyMode(mode), isCompareOnly(mode),
                                   isTwoPassMode(mode));
    QCOMPARE(kinds, QStringLiteral("000 000 000 101 100 101 100 000 000 000 000 000 110 110 000 "));
    // Copied, compared, job, two passes: percent. 2^62 of 2^63 needs more than 64-bit products
    // of 100; doubled, a job of 2^63 wraps to 0.
    for (const char* row : {"8000000000 0 16000000000 0 50", "999 0 1000 0 99", "5 5 0 1 0",
                            "16000000000 8000000000 16000000000 1 75", "3 0 2 0 100",
                            "4000000000000 0 8000000000000 0 50", "1 0 9223372036854775808 1 0",
                            "4611686018427387904 0 9223372036854775808 0 50"}) {
        const QStringList f = QString(row).split(' ');
        QCOMPARE(
            copyProgress(f[0].toULongLong(), f[1].toULongLong(), f[2].toULongLong(), f[3] == "1"),
            f[4].toInt());
    }
    QCOMPARE(compareProgress(250, 1000) + compareProgress(250, 0), 25);
    const std::pair<int64_t, const char*> times[] = {
        {999, " |"},           {1000, " 1 s|1s"},         {60000, " 60 s|60s"},
        {60001, " 1:0m|1:0m"}, {3600000, " 60:0m|60:0m"}, {3725000, " 1:2:5h|1:2:5h"}};
    for (const auto& [ms, texts] : times)
        QCOMPARE(writeTimeText(ms) + '|' + readTimeText(ms), QString::fromUtf8(texts));
    // The working target (status 4 or 5) with the least copied and compared, the lower port on a
    // tie; -1 when none works. Targets: status:copied:compared of port 1, 2, ...
    for (const char* row :
         {"2|4:100:0|1", "4|4:500:0 5:300:300 4:450:0|3", "4|6:0:0 7:0:0 1:0:0|-1",
          "4|6:0:0 4:700:0 4:700:0|2", "1|4:0:0|-1", "3|4:8589934592:0 4:4294967297:0|2"}) {
        StatusBlock b{};
        int port = 0;
        for (const QString& target : QString(row).section('|', 1, 1).split(' ')) {
            const QStringList f = target.split(':');
            put(b, copierPortOffset(++port),
                CopierPortRecord{0, f[1].toULongLong(), f[2].toULongLong(), 0, 0, 0, 0, 1,
                                 f[0].toUInt()});
        }
        QCOMPARE(copier::slowestTarget(b, QString(row).section('|', 0, 0).toInt()),
                 QString(row).section('|', 2).toInt());
    }
}

// Target 2 of a machine: ports, connect state and status; then what it shows and the line it
// logs. Then the figures of two jobs: bar, copied, compared, capacity, job, its caption, write
// and read speed and time.
void PortFrames::target() {
    const char* rows[] = {
        "16 1 1;-60|  就绪|dad7d3|port 2 idle",
        "16 1 4;W60|  正在拷贝|dad7d3|port 2 copy",
        "16 1 5;W60|  正在比对|dad7d3|port 2 compare",
        "16 1 6;S100|  成功|B3FFE6|port 2 success",
        "16 1 7;F60|  失败|FFB3B3|port 2 fail",
        "16 1 9;F60|  容量超限|FFB3B3|port 2 cap fail",
        "16 1 10;F60|  数据超限|FFB3B3|port 2 cap exceed",
        "16 1 11;-60|状态未知|dad7d3|num 2 Error to here 11",
        "16 1 19;-c-|  状态|dad7d3|port 2 connect",
        "16 0 0;-c-|  状态|dad7d3|port 2 disconnect",
        "8 0 4;W60|  正在拷贝|dad7d3|port 2 connect", // small machines show a bare status
        "9 0 4;-c-|  状态|dad7d3|port 2 disconnect",
        "51 0 6;S100|  成功|B3FFE6|port 2 success",
        "121 0 7;F60|  失败|FFB3B3|port 2 fail"};
    for (const char* row : rows) {
        const QStringList f = QString::fromUtf8(row).section(';', 0, 0).split(' ');
        const QString expected = QString::fromUtf8(row).section(';', 1);
        Frame_dst frame(nullptr, f[0].toInt());
        frame.setPort(2);
        StdoutCapture log;
        const Counter counter =
            frame.update(block(2, f[1].toUInt(), f[2].toUInt()), setting(4, f[0].toInt()));
        QCOMPARE(shown(frame, counter, {"label_status", "#"}), expected.section('|', 0, -2));
        QCOMPARE(lines(log.text(), expected.section('|', -1)), 1);
    }
    const std::tuple<int, uint64_t, uint64_t, uint64_t, float, const char*> jobs[] = {
        {4, 16000000000, 8000000000, 0, 2048,
         "W50| 7629M||15258M|15258M| 拷贝 | 2KB/s|2KB/s| 1:15m|"},
        {13, 1000, 900, 250, 1, "W25| 900Byte|250Byte|15258M|1000Byte| 比对 ||| |"}};
    for (const auto& [mode, job, copied, compared, speed, figures] : jobs) {
        StatusBlock b = block(3, 1, 4, 0, 0, job);
        put(b, copierPortOffset(3),
            CopierPortRecord{16000000000, copied, compared, 999, 75000, speed, speed, 1, 4});
        Frame_dst frame(nullptr, 32);
        frame.setPort(3);
        const Counter counter = frame.update(b, setting(mode, 32));
        QCOMPARE(shown(frame, counter,
                       {"dataCloned", "dataCompared", "capacity", "copySize", "label_3_2",
                        "write_speed", "read_speed", "measure_time_wr_ms", "measure_time_rd_ms"}),
                 QString::fromUtf8(figures));
    }
}

// A finished status is painted and logged once while it holds, counted on every tick, and
// painted again for the next disk and after an unknown status.
void PortFrames::targetPaintedOnceAndAgain() {
    Frame_dst frame(nullptr, 32);
    frame.setPort(1);
    const std::tuple<uint32_t, uint32_t, const char*> ticks[] = {
        {1, 6, "S100|  成功|B3FFE6"}, {1, 6, "S100|  成功|B3FFE6"},  {0, 0, "-c-|  成功|dad7d3"},
        {1, 6, "S100|  成功|B3FFE6"}, {1, 8, "-60|状态未知|dad7d3"}, {1, 6, "S100|  成功|B3FFE6"}};
    StdoutCapture log;
    for (const auto& [connect, status, painted] : ticks) {
        const Counter counter = frame.update(block(1, connect, status), setting(4, 32));
        QCOMPARE(shown(frame, counter, {"label_status", "#"}), QString::fromUtf8(painted));
    }
    QCOMPARE(lines(log.text(), "port 1 success"), 3);
    QCOMPARE(lines(log.text(), "port 1 disconnect"), 1);
}

// Three ticks of the master: ports, mode, the job's two-pass flag, status, copied, compared.
// The bar by the flag or the mode, nothing before the first byte is copied, the compare-only
// modes by what is compared; the status text, and how often it logs.
void PortFrames::master() {
    const char* rows[] = {"32 4 0 4 300 0;30|  正在拷贝| 拷贝 | 300Byte|caE6ff|port 0 copy",
                          "32 5 0 4 1000 500;75|  正在拷贝| 拷贝 | 1000Byte|caE6ff|port 0 copy",
                          "32 4 1 5 1000 0;50|  正在对比  | 拷贝 | 1000Byte|caE6ff|port 0 compare",
                          "32 3 1 1 0 400;0|  就绪|  拷贝| 0Byte|caE6ff|port 0 idle",
                          "32 12 0 2 0 400;40|  准备中 7| 比对 | 0Byte|caE6ff|port 0 connect",
                          "32 13 0 7 500 0;0|  失败|  拷贝| 500Byte|caE6ff|port 0 fail",
                          "51 4 0 3 0 0;0|  准备中 |  拷贝| 0Byte|caE6ff|port 0 connect",
                          "32 4 0 6 0 0;100|  完成|  拷贝| 0Byte|caE6ff|port 0 success",
                          "32 4 0 0 0 0;0|  状态|  拷贝| 0Byte|caE6ff|None status 0",
                          "32 4 0 12 0 0;0|  状态未知|  拷贝| 0Byte|caE6ff|Error to here 12 x3"};
    for (const char* row : rows) {
        const QStringList f = QString::fromUtf8(row).section(';', 0, 0).split(' ');
        const QString expected = QString::fromUtf8(row).section(';', 1);
        Frame_dd frame(nullptr, f[0].toInt());
        StdoutCapture log;
        for (int tick = 0; tick < 3; ++tick)
            frame.update(block(0, 1, f[3].toUInt(), f[4].toULongLong(), f[5].toULongLong(), 1000,
                               f[2].toUInt()),
                         setting(f[1].toInt(), f[0].toInt()));
        QCOMPARE(shown(frame, Counter::None, {"label_status", "label_3_2", "dataCloned", "#"}),
                 '-' + expected.section('|', 0, -2));
        const QString line = expected.section('|', -1);
        QCOMPARE(lines(log.text(), line.section(" x", 0, 0)), line.contains(" x3") ? 3 : 1);
    }
    // The master disk pulled: covered in light blue, except on the small SSD copiers (variant 3
    // below 9 ports), which keep the last job; an unknown connect state changes nothing; put
    // back, the figures and the bar return.
    for (const char* machine : {"8 3 -25", "8 0 -c-", "9 3 -c-"}) {
        const QStringList m = QString(machine).split(' ');
        Frame_dd frame(nullptr, m[0].toInt());
        const SettingRecord s = setting(4, m[0].toInt(), m[1].toInt());
        frame.update(block(0, 1, 4, 250), s);
        StdoutCapture log;
        for (uint32_t connect : {19u, 5u, 1u}) {
            frame.update(block(0, connect, connect == 1 ? 4 : 6, 250), s);
            QCOMPARE(shown(frame, Counter::None, {"label_status", "#"}),
                     (connect == 1 ? "-25" : m[2]) + "|  正在拷贝|caE6ff");
        }
        QCOMPARE(lines(log.text(), "port0 disconnect ,won't change"), m[2] == "-25" ? 1 : 0);
        QCOMPARE(lines(log.text(), "port 0 disconnect\n") +
                     lines(log.text(), "Error disk connect state 5"),
                 2);
    }
}

// Cover sizes by port count. Tester (-16: the tall 16-port machine of variant 4): cover and
// title, "+" when the frame is fixed to them, "~" when the cover takes the frame's height; text
// points; title pixels. Copier: master mask and title, target mask and title ("" for the
// frame's own size), "+" and the size the frame is fixed to; title pixels. Burn-in: mask and
// title, fixed frame. Copier texts are 20 points below 9 ports, 6 on the 64- and 121-port
// frames, ten rows in about 120 pixels.
void PortFrames::coverSizes() {
    const auto size = [](QSize s) {
        return s.isEmpty() ? QString() : QString::asprintf("%dx%d", s.width(), s.height());
    };
    QString got;
    for (int n : {4, 6, 8, 10, 12, 16, -16, 20, 24, 32, 40, 48, 50, 51, 64, 80, 96, 121, 7}) {
        const CoverGeometry g = coverGeometry(std::abs(n), n < 0 ? 4 : 0);
        got += QString::asprintf("%d:%dx%d,%dx%d%s:%d:", n, g.cover.width(), g.cover.height(),
                                 g.title.width(), g.title.height(),
                                 g.frameFixed          ? "+"
                                 : g.followFrameHeight ? "~"
                                                       : "",
                                 frameFontPointSize(std::abs(n))) +
               titleStyle(std::abs(n)).section("size:", 1).left(2) + ' ';
    }
    for (int ports : {4, 6, 8, 10, 12, 16, 20, 24, 32, 40, 48, 51, 64, 121, 7}) {
        const CoverSizes m = masterCover(ports), t = targetCover(ports);
        got += QString("%1:%2,%3/%4,%5%6:%7 ")
                   .arg(ports)
                   .arg(size(m.mask), size(m.title), size(t.mask), size(t.title),
                        t.frame.isEmpty() ? "" : "+" + size(t.frame),
                        coverTitleStyle(ports).section("size:", 1).left(2));
    }
    for (int n : {8, 10, 12, 16, -16, 20, 24, 32, 48, 64, 80, 96, 7}) {
        const CoverSizes c = burnin::burninCover(std::abs(n), n < 0 ? 4 : 0);
        got += QString("%1:%2,%3%4 ")
                   .arg(n)
                   .arg(size(c.mask), size(c.title), c.frame.isEmpty() ? "" : "+" + size(c.frame));
    }
    QCOMPARE(
        got,
        QStringLiteral(
            "4:948x528,948x528:20:36 6:630x528,630x528:20:16 8:480x600,480x600:20:36 "
            "10:380x600,380x600:16:16 12:480x400,480x400:16:16 16:480x265,480x265:16:16 "
            "-16:231x600,231x600:16:16 20:480x207,480x207:14:16 24:480x172,480x172:14:16 "
            "32:231x250,231x250:14:16 40:231x208,231x208:14:16 48:231x170,231x170:12:16 "
            "50:185x208,185x208:10:16 51:185x172,185x172:10:16 64:238x118,233x118+:10:16 "
            "80:191x119,191x119+:10:16 96:159x119,159x119:10:16 121:126x118,126x118:10:16 "
            "7:153x0,153x0~:10:16 "
            "4:946x526,946x526/946x526,946x526:36 6:629x526,629x526/629x526,629x526:16 "
            "8:480x600,480x600/480x600,480x600:36 10:380x600,380x600/380x600,380x600:16 "
            "12:460x335,460x335/460x335,460x335:16 16:460x245,460x245/460x245,460x245:16 "
            "20:460x207,460x207/460x207,460x207:16 24:460x172,460x172/460x172,460x172:16 "
            "32:244x250,232x250/232x260,232x260:16 40:232x208,232x208/232x208,232x208:16 "
            "48:232x173,232x173/232x173,232x173:16 51:185x172,185x172/185x172,185x172:16 "
            "64:232x112,232x112/232x112,232x112+232x112:16 121:,121x123/127x123,126x118:16 "
            "7:,/,:16 8:480x600,480x600 10:380x600,380x600 12:480x400,480x400 16:480x265,480x265 "
            "-16:231x600,231x600 20:480x207,480x207 24:480x172,480x172 32:231x250,231x250 "
            "48:220x170,220x170 64:232x112,233x128+232x112 80:185x113,185x113+185x113 "
            "96:159x119,159x119 7:, "));
    QCOMPARE(titleStyle(4),
             QStringLiteral("color:rgba(0, 0, 0, 200);font-size:36px;text-align:left;"));
    Frame_dd master8(nullptr, 8);
    Frame_dst target9(nullptr, 9), target64(nullptr, 64);
    QCOMPARE(QString::asprintf("%d %d %d",
                               master8.findChild<QLabel*>("capacity")->font().pointSize(),
                               target9.findChild<QLabel*>("capacity")->font().pointSize(),
                               target64.findChild<QLabel*>("capacity")->font().pointSize()),
             QStringLiteral("20 8 6"));
}

// Burn-in elapsed and remaining times; the share of the current pass.
void PortFrames::burnin() {
    const std::pair<int64_t, const char*> times[] = {
        {0, "0 s"},       {59, "59 s"},     {60, "1:0m"}, {75, "1:15m"},       {3599, "59:59m"},
        {3600, "1:0:0h"}, {3725, "1:2:5h"}, {-5, "-5 s"}, {604861, "168:1:1h"}};
    for (const auto& [seconds, text] : times)
        QCOMPARE(burnin::timeText(seconds), QString::fromUtf8(text));
    // Written, capacity: percent of the current pass (4 TB disks need 64-bit products).
    for (const char* row :
         {"5368709120 2147483648 50", "6442450944 2147483648 0", "12345 0 0",
          "15999999999999 4000000000000 99", "9223372036854775808 18446744073709551615 50"}) {
        const QStringList f = QString(row).split(' ');
        QCOMPARE(burnin::passProgress(f[0].toULongLong(), f[1].toULongLong()), f[2].toInt());
    }
    // One update of a fresh frame: status, errors, first error kind; then, where they differ from
    // 1, 7000, 2, 5, 2, 0: gate, elapsed seconds ("min": the lowest), capacity in GiB, passes set,
    // hours set, variant. Then the counter, cover and pass bar | test bar | colour | status,
    // error, smart, written, verified, time, time left.
    const char* rows[] = {
        "11 0 0 1 7000 2 5 0;W50|41|fff|3/5 写入|错误:0||W:5120M|V:5000KB|1:56:40h|剩余时间:",
        "12 0 0 1 7000 2 0;W0|41|fff|3 校验|错误:0||W:5120M|V:5000KB|1:56:40h|3:20m",
        "12 3 1 1 7000 2 0;W0|41|FFB3B3|3 校验|错误:3|写错误|W:5120M|V:5000KB|1:56:40h|3:20m",
        "11 0 2 0 7000 2 5 1;W0|41|fff|3/5 写入|错误:0|读错误|W:5120M|V:5000KB|1:56:40h|-3400 s",
        "11 0 3 1 0 2 5 1;W50|41|fff|3/5 写入|错误:0|校验错误|W:5120M|V:5000KB|时间|1:0:0h",
        "11 0 9 1 min;W50|41|fff|3/5 写入|错误:0||W:5120M|V:5000KB|时间|",
        "13 3 2;F50|41|FFB3B3|状态|错误:3|读错误|写入:5120M|校验:4M|1:56:40h|时间设定",
        "14 0 0;S0|100|B3FFE6|状态|没有发现问题||写入:5120M|校验:4M|时间|时间设定",
        "15 3 2;F0|24|FFB3B3|状态|错误:3|写错误:|写入:5120M|校验:4M|时间|时间设定",
        "17 0 0 0;-50|100|B3FFE6|测试完成|没有发现问题||写入:5120M|校验:4M|1:56:40h|时间设定",
        "17 0 0 0 0 0;-0|100|B3FFE6|测试完成|没有发现问题||写入:5120M|校验:4M|时间|时间设定",
        "14 0 0 1 7000 2 5 2 2;S0|100|B3FFE6|C3: 0|没有发现问题||2048M|C5: 0|时间|时间设定",
        "1 0 0;--|0|fff|状态|错误：0||写入|验证|时间|测试时间"};
    for (const char* row : rows) {
        QStringList f = QString::fromUtf8(row).section(';', 0, 0).split(' ');
        f += QString("0 0 0 1 7000 2 5 2 0").split(' ').mid(f.size());
        const int64_t elapsed =
            f[4] == "min" ? std::numeric_limits<int64_t>::min() : f[4].toLongLong();
        const SettingRecord s = setting(7, 32, f[8].toInt(), f[6].toInt(), f[7].toInt());
        FrameBn frame(nullptr, 32, s.machine_variant);
        frame.setPort(3);
        StatusBlock block{};
        put(block, burninPortOffset(3),
            rec(f[0].toUInt(), f[1].toUInt(), f[2].toUInt(), f[3].toULongLong(), elapsed,
                f[5].toULongLong() * kGiB));
        QCOMPARE(shown(frame, frame.update(block, s),
                       {"%", "#", "status", "error", "smart", "writeContent", "readContent", "time",
                        "testRequiredTime"}),
                 QString::fromUtf8(row).section(';', 1));
    }
    // Statuses the frame does not know change nothing; an empty port brings the white cover
    // back.
    FrameBn frame(nullptr, 32, 0);
    StatusBlock block{};
    for (uint32_t status : {14u, 2u, 5u, 10u, 16u, 18u, 255u, 0u}) {
        put(block, burninPortOffset(0), rec(status));
        const Counter counter = frame.update(block, setting(7, 32));
        QCOMPARE(shown(frame, counter, {"error"}), status == 14 ? "S0|没有发现问题"
                                                   : status     ? "-0|没有发现问题"
                                                                : "-c-|没有发现问题");
    }
    QCOMPARE(frame.mask()->styleSheet(), QStringLiteral("background:#fff"));
}

QTEST_MAIN(PortFrames)
#include "tst_port_frames.moc"

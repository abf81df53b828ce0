#include "fleet/fleet_status.h"

#include "app/window_choice.h"
#include "base/percent.h"
#include "base/version.h"
#include "burnin/burnin_logic.h"
#include "copier/copier_logic.h"
#include "tester/frame_logic.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace fleet {

namespace {

struct Tally {
    int working = 0;
    int passed = 0;
    int failed = 0;
    void add(copier::Counter counter) {
        working += counter == copier::Counter::Working;
        passed += counter == copier::Counter::Success;
        failed += counter == copier::Counter::Fail;
    }
};

QJsonArray port(int number, uint32_t status, int progress, const QString& style) {
    return QJsonArray{number, qint64(status), progress, colourName(style)};
}

// No frame has drawn anything yet: every state is drawn in full, style included.
constexpr uint32_t kNothingShown = 0xFFFFFFFFu;

QJsonArray testerPorts(const StatusBlock& block, const SettingRecord& s, Tally& tally) {
    QJsonArray ports;
    const bool skip = tester::skipsFirstPort(s.port_count);
    for (int p = skip ? 2 : 1; p <= s.port_count && p <= kTesterPorts; ++p) {
        const TesterPortRecord record = block.testerPort(p);
        const tester::FrameDraw d = tester::drawFrame(p, record, s, kNothingShown);
        if (d.untouched)
            continue;
        tally.working += d.outcome == tester::Outcome::Working;
        tally.passed += d.outcome == tester::Outcome::Passed;
        tally.failed += d.outcome == tester::Outcome::Failed;
        ports.append(port(skip ? p - 1 : p, record.state, clampPercent(record.progress),
                          d.style ? *d.style : QString(tester::kGrey)));
    }
    return ports;
}

// The targets; the master is the source, not a numbered port.
QJsonArray copierPorts(const StatusBlock& block, const SettingRecord& s, Tally& tally) {
    using namespace copier;
    QJsonArray ports;
    const uint64_t job = block.copierJob().jobBytes;
    for (int p = 1; p < s.port_count; ++p) {
        const CopierPortRecord r = block.copierPort(p);
        const int number = numbersTargetsFromOne(s.port_count) ? p : p + 1;
        const bool empty = targetIsEmpty(r.connectState, r.portStatus, s.port_count) ||
                           r.portStatus == 0 || r.portStatus == kConnectGone;
        const TargetStatusRow* row = empty ? nullptr : targetStatusRow(r.portStatus);
        int progress = 0;
        if (!empty)
            progress = isCompareOnly(s.mode) ? compareProgress(r.comparedBytes, job)
                                             : copyProgress(r.copiedBytes, r.comparedBytes, job,
                                                            isTwoPassMode(s.mode));
        if (row && r.portStatus == 6)
            progress = 100;
        tally.add(row ? row->counter : Counter::None);
        ports.append(port(number, r.portStatus, progress, row ? row->style : kGrey));
    }
    return ports;
}

QJsonArray burninPorts(const StatusBlock& block, const SettingRecord& s, Tally& tally) {
    using namespace burnin;
    QJsonArray ports;
    for (int i = 0; i < s.port_count && i < kTesterPorts; ++i) {
        const BurninPortRecord r = block.burninPort(i);
        const PortLook look = portLook(r);
        const bool done = r.bnStatus == StatusPassed || r.bnStatus == StatusComplete;
        tally.add(look.counter);
        ports.append(port(i + 1, r.bnStatus, done ? 100 : clampPercent(r.bnProgress),
                          look.style ? look.style : kWhite));
    }
    return ports;
}

} // namespace

QString colourName(const QString& styleSheet) {
    static const struct {
        const char* sheet;
        const char* name;
    } kNames[] = {
        {frame_styles::kGrey, "grey"}, {frame_styles::kGreen, "green"}, {frame_styles::kRed, "red"},
        {tester::kOrange, "orange"},   {burnin::kWhite, "white"},
    };
    for (const auto& n : kNames) {
        if (styleSheet == QLatin1String(n.sheet))
            return QLatin1String(n.name);
    }
    return QStringLiteral("yellow");
}

QJsonObject statusJson(const QString& cabinet, const StatusBlock& block, const SettingRecord& s,
                       bool linkUp) {
    const StatusHeader header = block.header();
    const h2::MainKind kind = h2::chooseMainWindow(s.machine_type, s.machine_variant, s.mode).shown;
    Tally tally;
    QJsonArray ports;
    QString layout;
    switch (kind) {
    case h2::MainKind::Tester:
        layout = QStringLiteral("tester");
        ports = testerPorts(block, s, tally);
        break;
    case h2::MainKind::Copier:
        layout = QStringLiteral("copier");
        ports = copierPorts(block, s, tally);
        break;
    case h2::MainKind::Burnin:
        layout = QStringLiteral("burnin");
        ports = burninPorts(block, s, tally);
        break;
    }
    return QJsonObject{
        {"cabinet", cabinet},
        {"engine_time", qint64(header.engineTime)},
        {"connected", linkUp},
        {"mode", s.mode},
        {"layout", layout},
        {"profile", QJsonObject{{"ports", s.port_count},
                                {"machine_type", s.machine_type},
                                {"board_model", s.board_model},
                                {"machine_variant", s.machine_variant}}},
        {"counters", QJsonObject{{"working", tally.working},
                                 {"passed", tally.passed},
                                 {"failed", tally.failed}}},
        {"totals", QJsonObject{{"worked", header.totalWorked},
                               {"success", header.totalSuccess},
                               {"fail", header.totalFail}}},
        {"engine_version", header.engineVersion ? hexVersion(header.engineVersion) : QString()},
        {"panel_version", hexVersion(kPanelVersion)},
        {"ports", ports},
    };
}

QString isoLocalTime(const QDateTime& when) {
    const int offset = when.offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return when.toOffsetFromUtc(offset).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           QString::asprintf("%c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
}

QByteArray statusPayload(QJsonObject status, const QDateTime& now) {
    status.insert(QStringLiteral("time"), isoLocalTime(now));
    return QJsonDocument(status).toJson(QJsonDocument::Compact);
}

} // namespace fleet

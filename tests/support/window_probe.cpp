#include "support/window_probe.h"

#include "link/status_block.h"
#include "settings/settings.h"

#include <QGridLayout>
#include <QLabel>

void setMachine(int ports, int mode, int type, int variant) {
    mSetting = SettingRecord{};
    mSetting.port_count = ports;
    mSetting.mode = mode;
    mSetting.machine_type = type;
    mSetting.machine_variant = variant;
}

Machine::Machine(char kind) : tester(nullptr, mSetting.port_count) {
    const int ports = mSetting.port_count;
    if (mSetting.machine_type != 0)
        copier = std::make_unique<MainWindowCopy>(nullptr, ports);
    else if (mSetting.machine_variant != 1)
        burnin = std::make_unique<MainWindowBurnin>(nullptr, ports);
    if (burnin)
        burnin->setPause([this](unsigned ms) { pauses += QString::number(ms); });
    mainWindow = &tester;
    copyWindow = copier.get();
    burninWindow = burnin.get();
    shown = kind == 'T'   ? &tester
            : kind == 'C' ? static_cast<QMainWindow*>(copier.get())
                          : burnin.get();
}

void setRecord(char kind, int index, uint32_t status, uint32_t connected) {
    if (kind == 'T') {
        const TesterPortRecord r{0,  0,      0, {}, 2,   {}, 0,         0, 0,
                                 30, status, 0, 8,  512, 0,  connected, 0, 1 << 30};
        Info.write(testerPortOffset(index), &r, sizeof(r));
    } else if (kind == 'C') {
        const CopierPortRecord r{0, 100 * uint64_t(index), 0, 0, 0, 0, 0, connected, status};
        Info.write(copierPortOffset(index), &r, sizeof(r));
    } else {
        BurninPortRecord r{};
        r.busy = connected;
        r.bnStatus = status;
        Info.write(burninPortOffset(index), &r, sizeof(r));
    }
}

void setHeader(uint32_t engineVersion, int worked, int success, int fail) {
    const StatusHeader h{kStatusBlockSize, 0, engineVersion, 0, worked, success, fail, 0};
    Info.write(0, &h, sizeof(h));
}

QString labelText(const QWidget* parent, const QString& name) {
    auto* label = parent ? parent->findChild<QLabel*>(name) : nullptr;
    return label ? label->text() : QStringLiteral("<missing>");
}

QString stripCounters(const QWidget& window) {
    QStringList values;
    for (const char* name : {"currentWorking", "currentSuccess", "currentFail", "totalWorked",
                             "totalSuccess", "totalFail"})
        values << labelText(&window, QLatin1String(name));
    return values.join(' ');
}

QString cellName(const QWidget& window, int row, int column) {
    auto* grid = window.findChild<QGridLayout*>(QStringLiteral("gridLayout"));
    QLayoutItem* item = grid ? grid->itemAtPosition(row, column) : nullptr;
    return item && item->widget() ? item->widget()->objectName() : QString();
}

int lines(const QByteArray& output, const QString& line) {
    return QString::fromUtf8(output).count(line);
}

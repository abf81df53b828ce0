#pragma once
// The main windows as the window suites build and look into them: a machine's windows, port
// records and the status header written into Info, label texts, the grid's cells, and a board
// power that counts instead of switching.

#include "burnin/mainwindowburnin.h"
#include "copier/mainwindowcopy.h"
#include "copier/port_cover.h"
#include "hardware/power_off_latch.h"
#include "tester/mainwindow.h"

#include <QString>
#include <cstdint>
#include <memory>

// mSetting cleared to a machine of `ports` in work mode `mode`.
void setMachine(int ports, int mode, int type = 0, int variant = 0);

// The main windows start-up makes for the machine in mSetting, set as the window globals;
// `kind` names the one shown: T tester, C copier, B burn-in.
struct Machine {
    explicit Machine(char kind);
    ~Machine() {
        mainWindow = nullptr;
        copyWindow = nullptr;
        burninWindow = nullptr;
    }
    void start() { shown == &tester ? tester.start() : copier ? copier->start() : burnin->start(); }
    void tick() {
        shown == &tester ? tester.update() : copier ? copier->JobUiChange() : burnin->JobUiChange();
    }
    QWidget* frame(int port) const {
        return shown->findChild<QWidget*>(QString("frame_%1").arg(port));
    }
    QString title(int port) const { return dynamic_cast<CoveredPort*>(frame(port))->title(); }
    MainWindow tester;
    std::unique_ptr<MainWindowCopy> copier;
    std::unique_ptr<MainWindowBurnin> burnin;
    QMainWindow* shown;
    QString pauses; // of the burn-in window's stop(), in ms, instead of waiting
};

// Record `index` of the kind's layout in Info: tester state and connected flag (progress 30,
// 1 GiB, 2 bad sectors, 4 KiB clusters), copier status and connect state (100 bytes copied per
// index), burn-in status and busy flag.
void setRecord(char kind, int index, uint32_t status, uint32_t connected = 0);
// Writes a status header into Info: the engine version and the three totals.
void setHeader(uint32_t engineVersion, int worked = 0, int success = 0, int fail = 0);

// The text of the label `name` below `parent` (may be null), or "<missing>".
QString labelText(const QWidget* parent, const QString& name);
// The strip's counters: this tick's working, passed and failed, then the engine's totals.
QString stripCounters(const QWidget& window);
// The object name of the widget in a cell of the window's "gridLayout" ("" for none).
QString cellName(const QWidget& window, int row, int column);
// How many times `line` occurs in a captured output.
int lines(const QByteArray& output, const QString& line);

// Boards powered on, in the state `state` reports (2: down), never switched.
struct FakePower final : BoardPower {
    int state = 1;
    int powerLevel() const override { return 1; }
    int boardState() const override { return state; }
    void switchOff() override {}
};

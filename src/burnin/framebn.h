#pragma once
// One port of the burn-in window: pass and phase, amounts, speed, elapsed and remaining time,
// errors and, on the SMART variant, three SMART counters of the finished disk.

#include "burnin/burnin_logic.h"
#include "copier/port_cover.h"

#include <QFrame>
#include <memory>

class QLabel;
struct SettingRecord;
namespace Ui {
class FrameBn;
}

class FrameBn final : public QFrame, public CoveredPort {
    Q_OBJECT
public:
    FrameBn(QWidget* parent, int portCount, int machineVariant);
    ~FrameBn() override;

    // One refresh of port mPort from the tick's snapshot; returns the counter it belongs to.
    burnin::Counter update(const StatusBlock& block, const SettingRecord& setting);
    using QFrame::update;

    void setNumber(int number);
    using CoveredPort::mask;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showReady();
    void showPass(const BurninPortRecord& record, const SettingRecord& setting);
    void showResult(const BurninPortRecord& record, const SettingRecord& setting);
    void uncover();
    void setFrameStyle(const char* style);

    std::unique_ptr<Ui::FrameBn> ui;
};

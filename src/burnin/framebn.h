#pragma once
// One port of the burn-in window: pass and phase, amounts, speed, elapsed and remaining time,
// errors and, on the SMART variant, three SMART counters of the finished disk.

#include "burnin/burnin_logic.h"

#include <QFrame>
#include <memory>

class QLabel;
struct SettingRecord;
namespace Ui {
class FrameBn;
}

class FrameBn final : public QFrame {
    Q_OBJECT
public:
    FrameBn(QWidget* parent, int portCount, int machineVariant);
    ~FrameBn() override;

    // One refresh of port mPort from the tick's snapshot; returns the counter it belongs to.
    burnin::Counter update(const StatusBlock& block, const SettingRecord& setting);
    using QFrame::update;

    void setPort(int port) { mPort = port; }
    int port() const { return mPort; }
    void setTitle(const QString& title);
    QString title() const;
    void setNumber(int number);
    bool covered() const;
    const QLabel* mask() const { return mMask; }

private:
    void showReady();
    void showPass(const BurninPortRecord& record, const SettingRecord& setting);
    void showResult(const BurninPortRecord& record, const SettingRecord& setting);
    void uncover();
    void setFrameStyle(const char* style);

    int mPort = 0;
    QLabel* mMask;
    QLabel* mTitle;
    std::unique_ptr<Ui::FrameBn> ui;
};

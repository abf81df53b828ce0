#pragma once
// One target port of the copier window: amounts, times, speeds and the status of a disk
// being copied to, or a grey cover with the work-mode title while the port is empty.

#include "copier/copier_logic.h"
#include "copier/port_cover.h"

#include <QWidget>
#include <memory>

class QLabel;
struct SettingRecord;
namespace Ui {
class Frame_dst;
}

class Frame_dst final : public QWidget, public CoveredPort {
    Q_OBJECT
public:
    // Cover sizes and fonts follow the machine's port count.
    Frame_dst(QWidget* parent, int portCount);
    ~Frame_dst() override;

    // One refresh of port mPort from the tick's snapshot; returns the counter it belongs to.
    copier::Counter update(const StatusBlock& block, const SettingRecord& setting);
    using QWidget::update;

    void setNumber(const QString& number);
    using CoveredPort::mask;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showEmpty();
    void paintStatus(const copier::TargetStatusRow* row, uint32_t status);
    void setBackground(const char* style);

    int mLastConnect = -1;
    int mLastStatus = -1;
    // A finished status is painted once; a language switch asks for its text again.
    bool mRetranslated = false;
    std::unique_ptr<Ui::Frame_dst> ui;
    const int mPortCount;
};

#pragma once
// The master (source) port of the copier window: what has been copied from and compared
// against the master disk, and the job's status, on a light-blue frame.

#include "copier/copier_logic.h"
#include "copier/port_cover.h"

#include <QWidget>
#include <memory>

class QLabel;
struct SettingRecord;
namespace Ui {
class Frame_dd;
}

class Frame_dd final : public QWidget, public CoveredPort {
    Q_OBJECT
public:
    Frame_dd(QWidget* parent, int portCount);
    ~Frame_dd() override;

    // One refresh from the tick's snapshot; the job area's preparation counter is shown
    // while the master prepares.
    void update(const StatusBlock& block, const SettingRecord& setting);
    using QWidget::update;

    void setNumber(const QString& number);
    using CoveredPort::mask;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showPresent(const StatusBlock& block, int mode);
    void showStatus(uint32_t status, uint32_t prepCounter);

    int mLastConnect = -1;
    int mLastStatus = -1;
    std::unique_ptr<Ui::Frame_dd> ui;
    const int mPortCount;
};

#pragma once
// The master (source) port of the copier window: what has been copied from and compared
// against the master disk, and the job's status, on a light-blue frame.

#include "copier/copier_logic.h"

#include <QWidget>
#include <memory>

class QLabel;
struct SettingRecord;
namespace Ui {
class Frame_dd;
}

class Frame_dd final : public QWidget {
    Q_OBJECT
public:
    Frame_dd(QWidget* parent, int portCount);
    ~Frame_dd() override;

    // One refresh from the tick's snapshot; the job area's preparation counter is shown
    // while the master prepares.
    void update(const StatusBlock& block, const SettingRecord& setting);
    using QWidget::update;

    void setPort(int port) { mPort = port; }
    int port() const { return mPort; }
    void setTitle(const QString& title);
    QString title() const;
    void setNumber(const QString& number);
    bool covered() const;
    const QLabel* mask() const { return mMask; }

private:
    void showPresent(const StatusBlock& block, int mode);
    void showStatus(uint32_t status, uint32_t prepCounter);

    int mPort = 0;
    QLabel* mMask;
    QLabel* mTitle;
    int mLastConnect = -1;
    int mLastStatus = -1;
    std::unique_ptr<Ui::Frame_dd> ui;
    const int mPortCount;
};

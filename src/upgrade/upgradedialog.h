#pragma once
// Progress of a USB upgrade: a bar and a status line, refreshed once a second from the two
// fields the upgrade monitor writes from its own thread.

#include <QDialog>
#include <QString>
#include <atomic>
#include <memory>

class QTimer;

namespace Ui {
class UpgradeDialog;
}

// Status line for a state code: 1 preparing, 2 upgrading, 3 done, 4 failed, 5 no file,
// 6 results exported (`exported` records so far).
QString upgradeStateText(int state, int exported = 0);

class UpgradeDialog final : public QDialog {
    Q_OBJECT

public:
    explicit UpgradeDialog(QWidget* parent = nullptr);
    ~UpgradeDialog() override;

    // Written by the monitor thread, read by the refresh timer.
    void setStep(int percent, int state) {
        mProgress.store(percent);
        mState.store(state);
    }
    void setExported(int records) { mExported.store(records); }
    int progress() const { return mProgress.load(); }
    int state() const { return mState.load(); }

signals:
    void startU();
    void stopU();

public slots:
    void displayui();
    void start();
    void stop();

private:
    std::unique_ptr<Ui::UpgradeDialog> m_ui;
    std::unique_ptr<QTimer> mTimer;
    std::atomic<int> mProgress{0};
    std::atomic<int> mState{0};
    std::atomic<int> mExported{0};
};

#pragma once
// The duplicator's window: the master frame, one frame per target and a status strip with
// the counters of the last tick, the engine's totals and, on the large machines, a button
// that names the slowest target. Once started it refreshes every second from one snapshot
// of the status block; a press opens the copier's settings dialog.

#include "copier/copier_logic.h"
#include "forms/strip_counters.h"
#include "forms/window_form.h"
#include "hardware/power_off_latch.h"
#include "hardware/window_activity.h"
#include "link/status_block.h"
#include "results/finish_detector.h"

#include <QMainWindow>
#include <vector>

class Frame_dd;
class Frame_dst;
class QLabel;
class QPushButton;
class QTimer;

class MainWindowCopy final : public QMainWindow {
    Q_OBJECT
public:
    MainWindowCopy(QWidget* parent, int portCount);
    ~MainWindowCopy() override;

    // Titles and numbers the frames for the current mode, fills the strip, starts the timer.
    void start();
    void stop();

    // Board power of this machine; null where the machine has none.
    void setBoardPower(BoardPower* power) { mBoardPower = power; }
    const WindowActivity& activity() const { return mActivity; }
    int lowestPort() const { return mLowestPort; }
    const forms::WindowForm& form() const { return mForm; }

public slots:
    void onLowspeedClicked(bool checked);
    // One refresh tick.
    void JobUiChange();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    // A language switch: the mode name and the master's number in the new language.
    void changeEvent(QEvent* event) override;

private:
    struct Target {
        int port;   // record index, 1 to N-1
        int number; // shown in label_no
        Frame_dst* frame;
    };
    void showModeTexts(int mode);
    void switchToTester();

    QTimer* mTimer;
    copier::TickCounts mCounts;
    const forms::WindowForm& mForm;
    const int mPortCount;
    WindowActivity mActivity; // mRunning, mWorkingLast, mConnected
    PowerOffLatch mPowerOff;  // mWasWorking
    QPushButton* mLowestButton = nullptr;
    int mLowestPort = -1;
    BoardPower* mBoardPower = nullptr;
    Frame_dd* mMaster = nullptr;
    std::vector<Target> mTargets;
    QWidget* mStatusWidget = nullptr;
    QLabel* mWorkingMode = nullptr;
    StripCounters mCounters;
    bool mBrandShown = false;
    int mShownMode = -1; // the mode of the last start; -1 before the first
    StatusBlock mBlock;  // this tick's snapshot
    std::vector<results::PortRef> mJournalPorts;
};

extern MainWindowCopy* copyWindow;

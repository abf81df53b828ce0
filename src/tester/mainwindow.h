#pragma once
// The tester's full-screen window: one frame per port and a status strip with the work mode,
// the counters of the last tick, the engine's totals and the versions. Once started it
// refreshes every second from one snapshot of the status block.

#include "forms/strip_counters.h"
#include "forms/window_form.h"
#include "hardware/power_off_latch.h"
#include "hardware/window_activity.h"
#include "link/status_block.h"
#include "results/finish_detector.h"

#include <QMainWindow>
#include <vector>

class Frame;
class QLabel;
class QTimer;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(QWidget* parent, int portCount);
    ~MainWindow() override;

    // Titles and numbers the frames, fills the strip and starts the refresh timer.
    void start();
    // Stops the frames and the timer.
    void stop();
    // Re-numbers every handled frame, which also forgets what it showed.
    void updateSetting();
    // Gives every frame the title of the settings in force (after a settings change).
    void retitleFrames();

    // Board power of this machine, used to switch the boards off after a run; null where
    // the machine has none.
    void setBoardPower(BoardPower* power) { mBoardPower = power; }
    BoardPower* boardPower() const { return mBoardPower; }
    const WindowActivity& activity() const { return mActivity; }
    const QString& modeTitle() const { return mModeTitle; }
    const forms::WindowForm& form() const { return mForm; }

public slots:
    // One refresh tick.
    void update();

protected:
    // Opens the settings dialog of the machine (mainwindow_press.cpp).
    void mousePressEvent(QMouseEvent* event) override;
    // A language switch: the mode name in the new language.
    void changeEvent(QEvent* event) override;

private:
    struct Port {
        int port;   // record and frame_N
        int number; // shown in label_no
        Frame* frame;
    };
    void titleFrames(const QString& title);
    void showBrandLabels();
    void showCounters(const StatusHeader& header);
    QLabel* stripLabel(const char* name) const;

    const forms::WindowForm& mForm;
    const int mPortCount;
    std::vector<Port> mPorts;
    QWidget* mStatusWidget = nullptr;
    QLabel* mWorkingMode = nullptr;
    StripCounters mCounters;
    QLabel* mEngineVersionLabel = nullptr;
    bool mBrandShown = false;
    int mShownMode = -1; // the mode named in the strip; -1 before the first start
    QString mModeTitle;
    QTimer* mTimer = nullptr;
    int mWorking = 0;
    int mSuccess = 0;
    int mFail = 0;
    WindowActivity mActivity;
    PowerOffLatch mPowerOff;
    BoardPower* mBoardPower = nullptr;
    int mVersionLabels = 0;
    StatusBlock mBlock; // this tick's snapshot
    std::vector<results::PortRef> mJournalPorts;
};

extern MainWindow* mainWindow;

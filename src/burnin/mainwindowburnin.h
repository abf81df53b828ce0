#pragma once
// The burn-in window: one frame per port and a status strip with the counters of the last
// tick and the engine's totals. Hidden and idle until started; a press opens the burn-in
// (or tester) settings dialog and may hand the screen back to the tester window.

#include "copier/copier_logic.h"
#include "forms/strip_counters.h"
#include "forms/window_form.h"
#include "link/status_block.h"
#include "platform/platform.h"
#include "results/finish_detector.h"

#include <QMainWindow>
#include <vector>

class FrameBn;
class QLabel;
class QTimer;

class MainWindowBurnin final : public QMainWindow {
    Q_OBJECT
public:
    MainWindowBurnin(QWidget* parent, int portCount);
    ~MainWindowBurnin() override;

    // Shows the window and starts the refresh (through startSignal).
    void start();
    // Hides the window and stops the refresh (through stopSignal), then gives the engine two
    // seconds before the caller moves on.
    void stop();

    const forms::WindowForm& form() const { return mForm; }
    const QString& titleText() const { return mTitleText; }
    bool running() const;
    // The pause of stop(); tests make it instant.
    void setPause(h2::PauseFn pause) { mPause = std::move(pause); }

signals:
    void stopSignal();
    void startSignal();

public slots:
    // One refresh tick.
    void JobUiChange();
    void stopslot();
    void startslot();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool anyPortBusy() const;

    QTimer* mTimer;
    QString mTitleText;
    copier::TickCounts mCounts;
    const forms::WindowForm& mForm;
    const int mPortCount;
    std::vector<FrameBn*> mFrames; // frame_1 upward; null where the form has none
    QWidget* mStatusWidget = nullptr;
    StripCounters mCounters;
    h2::PauseFn mPause;
    StatusBlock mBlock; // this tick's snapshot
    std::vector<results::PortRef> mJournalPorts;
};

extern MainWindowBurnin* burninWindow;

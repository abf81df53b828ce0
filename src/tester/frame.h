#pragma once
// One port of the tester window: its record drawn as texts, a progress bar and a colour,
// with a cover over an empty port that carries the work-mode title.

#include "copier/port_cover.h"
#include "tester/frame_logic.h"

#include <QFrame>
#include <memory>

class QLabel;
class QTimer;
struct StatusBlock;
namespace Ui {
class Frame;
}

class Frame final : public QFrame, public CoveredPort {
    Q_OBJECT
public:
    // Cover size, title style and fonts follow the machine's port count and variant.
    Frame(QWidget* parent, int portCount, int machineVariant);
    ~Frame() override;

    // Numbers the frame and forgets what it showed; fonts by port count.
    void go(int port);
    // One refresh from the tick's snapshot; returns the counter the port belongs to.
    tester::Outcome update(const StatusBlock& block, const SettingRecord& setting);
    using QFrame::update;
    void start();
    void stop();

    void setNumber(int number);
    uint32_t lastState() const { return mLastState; }
    using CoveredPort::mask;

public slots:
    // One refresh from the current status block.
    void finish();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void apply(const tester::FrameDraw& draw);
    void setBackground(const QString& style);

    double mWriteSpeed = 0;
    uint32_t mState = 0;
    uint32_t mLastState = 0;
    QTimer* mTimer = nullptr; // the tester window drives its frames, so this stays null
    std::unique_ptr<Ui::Frame> ui;
    int mPortCount;
};

#pragma once
// One port of the tester window: its record drawn as texts, a progress bar and a colour,
// with a cover over an empty port that carries the work-mode title.

#include "tester/frame_logic.h"

#include <QFrame>
#include <memory>

class QLabel;
class QTimer;
struct StatusBlock;
namespace Ui {
class Frame;
}

class Frame final : public QFrame {
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

    void setTitle(const QString& title);
    QString title() const;
    void setNumber(int number);
    int port() const { return mPort; }
    uint32_t lastState() const { return mLastState; }
    bool covered() const;

public slots:
    // One refresh from the current status block.
    void finish();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void apply(const tester::FrameDraw& draw);
    void setBackground(const QString& style);
    void fitCover(QSize frame);

    int mPort = 0;
    double mWriteSpeed = 0;
    uint32_t mState = 0;
    uint32_t mLastState = 0;
    QTimer* mTimer = nullptr; // the tester window drives its frames, so this stays null
    QLabel* mMask;
    QLabel* mTitle;
    std::unique_ptr<Ui::Frame> ui;
    int mPortCount;
    QSize mCoverSize; // empty: the frame's size
    QSize mTitleSize;
};

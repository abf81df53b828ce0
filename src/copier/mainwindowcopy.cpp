#include "copier/mainwindowcopy.h"

#include "base/log_file.h"
#include "copier/frame_dd.h"
#include "copier/frame_dst.h"
#include "dialogs/settings_dialog_choice.h"
#include "forms/copier_forms.h"
#include "forms/screen.h"
#include "forms/strip_labels.h"
#include "link/engine_messages.h"
#include "results/journal.h"
#include "settings/settings.h"
#include "tester/mainwindow.h"

#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

MainWindowCopy* copyWindow = nullptr;

using namespace copier;

namespace {
uint32_t engineVersionNow() {
    return Info.read<uint32_t>(offsetof(StatusHeader, engineVersion));
}

uint32_t masterConnectStateNow() {
    return Info.read<uint32_t>(copierPortOffset(0) + offsetof(CopierPortRecord, connectState));
}
} // namespace

MainWindowCopy::MainWindowCopy(QWidget* parent, int portCount)
    : QMainWindow(parent), mTimer(new QTimer(this)),
      mForm(forms::chooseForm(forms::copierForms(), portCount, -1)), mPortCount(portCount) {
    forms::buildForm(*this, mForm, [portCount](QWidget* parent, int port) -> QWidget* {
        if (port == 1)
            return new Frame_dd(parent, portCount);
        return new Frame_dst(parent, portCount);
    });
    mMaster = findChild<Frame_dd*>(QStringLiteral("frame_1"));
    for (int port = 1; port < portCount; ++port) {
        auto* frame = findChild<Frame_dst*>(QStringLiteral("frame_%1").arg(port + 1));
        const int number = numbersTargetsFromOne(portCount) ? port : port + 1;
        if (!frame)
            continue;
        mTargets.push_back({port, number, frame});
        mJournalPorts.push_back({port, number});
    }
    mStatusWidget = findChild<QWidget*>(QStringLiteral("StatusWidget"));
    if (mStatusWidget) {
        mWorkingMode = mStatusWidget->findChild<QLabel*>(QStringLiteral("workingMode"));
        mCounters.find(mStatusWidget);
    }
    connect(mTimer, &QTimer::timeout, this, &MainWindowCopy::JobUiChange);
    mLowestButton = findChild<QPushButton*>(QStringLiteral("lowest_speed"));
    if (mLowestButton)
        connect(mLowestButton, &QPushButton::clicked, this, &MainWindowCopy::onLowspeedClicked);
    else
        LOGD("No kick lowest\n\r");
    gCopierActivity.store(&mActivity);
}

MainWindowCopy::~MainWindowCopy() {
    const WindowActivity* mine = &mActivity;
    gCopierActivity.compare_exchange_strong(mine, nullptr);
}

void MainWindowCopy::start() {
    const int mode = mSetting.mode;
    const QString title = coverTitle(mode, engineVersionNow());
    if (mMaster) {
        mMaster->setTitle(title);
        mMaster->setPort(0);
    }
    for (const Target& t : mTargets) {
        t.frame->setNumber(QString::number(t.number));
        t.frame->setTitle(title);
        t.frame->setPort(t.port);
    }
    showModeTexts(mode);
    if (mStatusWidget) {
        mStatusWidget->setStyleSheet(QString::fromLatin1(kGrey));
        if (mPortCount > 8 && !mBrandShown) {
            addBrandLabels(mStatusWidget, mForm.brandName, mForm.brandLine);
            mBrandShown = true;
        }
    }
    mTimer->start(1000);
    mActivity.mRunning = 1;
}

void MainWindowCopy::showModeTexts(int mode) {
    mShownMode = mode;
    if (mMaster)
        mMaster->setNumber(tr("源"));
    if (mWorkingMode)
        mWorkingMode->setText(stripModeName(mode));
}

void MainWindowCopy::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange && mShownMode >= 0)
        showModeTexts(mShownMode);
}

void MainWindowCopy::stop() {
    mTimer->stop();
    mActivity.mRunning = 0;
}

void MainWindowCopy::JobUiChange() {
    Info.snapshot(mBlock);
    if (mMaster)
        mMaster->update(mBlock, mSetting);
    mCounts = {};
    int connected = 0;
    for (const Target& t : mTargets) {
        mCounts.add(t.frame->update(mBlock, mSetting));
        if (mBlock.copierPort(t.port).connectState == kConnectPresent)
            ++connected;
    }
    mActivity.mConnected = connected;
    results::observeTick(results::Layout::Copier, mBlock, mSetting, mJournalPorts);
    mLowestPort = slowestTarget(mBlock, mPortCount);
    if (mStatusWidget)
        mCounters.show(mCounts.working, mCounts.success, mCounts.fail, mBlock.header());
    // Kept on every form, with or without a strip, so that presses and the board power
    // thread always see the last tick's work.
    mActivity.mWorkingLast = mCounts.working;
    if (mLowestButton)
        mLowestButton->setText(mLowestPort < 1 ? QString() : QString::number(mLowestPort));
    mPowerOff.tick(mCounts.working, mBoardPower);
}

void MainWindowCopy::onLowspeedClicked(bool checked) {
    LOGD("button clicked %d\n\r", int(checked));
    // With no target working the button is blank: there is no port to name.
    if (mLowestPort < 1)
        return;
    sendCmdWithPara(11, mLowestPort);
}

void MainWindowCopy::mousePressEvent(QMouseEvent*) {
    if (mActivity.mWorkingLast != 0)
        return;
    if (masterConnectStateNow() == kConnectPresent) {
        LOGD("someone on\n\r");
        return;
    }
    if (mBoardPower && mBoardPower->boardState() == 2) {
        LOGD("board down\n\r");
        return;
    }
    const SettingsDialogKind dialog =
        copierPressDialog(mSetting.machine_type, mSetting.machine_variant, mPortCount);
    if (execSettingsDialog(dialog, this) == QDialog::Accepted) {
        const int mode = mSetting.mode;
        LOGD("dialog accepted %d\n\r", mode);
        if (testerModeOfCopierDialog(dialog, mode)) {
            switchToTester();
        } else {
            if (dialog == SettingsDialogKind::Copier && mSetting.machine_type == 2)
                LOGD("will change  copymode %d\n\r", mode);
            else
                LOGD("will change  copymode\n\r");
            if (copyWindow)
                copyWindow->start();
        }
    }
    sendSetting();
}

void MainWindowCopy::switchToTester() {
    if (!mainWindow)
        return;
    LOGD("will change to H2\n\r");
    hide();
    stop();
    showMainWindow(mainWindow, h2::ShowAs::Maximized);
    mainWindow->start();
}

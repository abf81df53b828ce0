#include "tester/mainwindow.h"

#include "base/log_file.h"
#include "base/version.h"
#include "forms/strip_labels.h"
#include "forms/tester_forms.h"
#include "results/journal.h"
#include "settings/settings.h"
#include "tester/frame.h"
#include "tester/mode_title.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>

MainWindow* mainWindow = nullptr;

namespace {

uint32_t engineVersionNow() {
    return Info.read<uint32_t>(offsetof(StatusHeader, engineVersion));
}

} // namespace

MainWindow::MainWindow(QWidget* parent, int portCount)
    : QMainWindow(parent),
      mForm(forms::chooseForm(forms::testerForms(), portCount, mSetting.machine_variant)),
      mPortCount(portCount) {
    LOGD("mode =%d wspeed =%d test_area=%d\n\r", mSetting.mode, mSetting.write_speed,
         mSetting.capacity_test);
    const int variant = mSetting.machine_variant;
    forms::buildForm(*this, mForm, [portCount, variant](QWidget* parent, int) {
        return new Frame(parent, portCount, variant);
    });
    mStatusWidget = findChild<QWidget*>(QStringLiteral("StatusWidget"));
    if (mStatusWidget) {
        mWorkingMode = stripLabel("workingMode");
        mCounters.find(mStatusWidget);
    }
    const int first = tester::skipsFirstPort(portCount) ? 2 : 1;
    for (int port = first; port <= portCount; ++port) {
        const int number = first == 2 ? port - 1 : port;
        mPorts.push_back({port, number, findChild<Frame*>(QStringLiteral("frame_%1").arg(port))});
        if (mPorts.back().frame)
            mJournalPorts.push_back({port, number});
    }
    gTesterActivity.store(&mActivity);
    titleFrames(tester::settingTitle(mSetting.mode, engineVersionNow()));
}

MainWindow::~MainWindow() {
    const WindowActivity* mine = &mActivity;
    gTesterActivity.compare_exchange_strong(mine, nullptr);
}

QLabel* MainWindow::stripLabel(const char* name) const {
    return mStatusWidget->findChild<QLabel*>(QString::fromLatin1(name));
}

void MainWindow::titleFrames(const QString& title) {
    mModeTitle = title;
    LOGD("test_area =%lld\n\r", static_cast<long long>(mSetting.capacity_test));
    for (const Port& p : mPorts) {
        if (!p.frame)
            continue;
        p.frame->setNumber(p.number);
        p.frame->setTitle(mModeTitle);
        p.frame->go(p.port);
    }
}

void MainWindow::start() {
    titleFrames(tester::startTitle(mSetting.mode, engineVersionNow()));
    if (mStatusWidget) {
        LOGD("StatusWidget not nill\n\r");
        mStatusWidget->setStyleSheet(tester::kGrey);
        if (mWorkingMode) {
            mShownMode = mSetting.mode;
            mWorkingMode->setText(tester::modeName(mShownMode));
        }
        LOGD("StatusWidget set\n\r");
        if (mPortCount > 8)
            showBrandLabels();
    }
    updateSetting();
    for (const Port& p : mPorts) {
        if (p.frame)
            p.frame->start();
    }
    if (!mTimer) {
        mTimer = new QTimer(this);
        connect(mTimer, &QTimer::timeout, this, &MainWindow::update);
    }
    mTimer->start(1000);
    mActivity.mRunning = 1;
    LOGD("mainwindow start\n\r");
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange && mWorkingMode && mShownMode >= 0)
        mWorkingMode->setText(tester::modeName(mShownMode));
}

void MainWindow::showBrandLabels() {
    if (mBrandShown)
        return;
    mBrandShown = true;
    addBrandLabels(mStatusWidget, mForm.brandName, mForm.brandLine);
    makeStripLabel(mStatusWidget, QStringLiteral("V") + hexVersion(kPanelVersion), 8, false,
                   QRect(1750, 60, 150, 12));
}

void MainWindow::stop() {
    for (const Port& p : mPorts) {
        if (p.frame)
            p.frame->stop();
    }
    if (mTimer)
        mTimer->stop();
    mActivity.mRunning = 0;
}

void MainWindow::updateSetting() {
    for (const Port& p : mPorts) {
        if (!p.frame) {
            LOGD("%d is null\n\r", p.port);
            continue;
        }
        p.frame->go(p.port);
    }
}

void MainWindow::update() {
    mWorking = mSuccess = mFail = 0;
    Info.snapshot(mBlock);
    int connected = 0;
    for (const Port& p : mPorts) {
        if (!p.frame)
            continue;
        switch (p.frame->update(mBlock, mSetting)) {
        case tester::Outcome::Working:
            ++mWorking;
            break;
        case tester::Outcome::Passed:
            ++mSuccess;
            break;
        case tester::Outcome::Failed:
            ++mFail;
            break;
        case tester::Outcome::None:
            break;
        }
        if (mBlock.at<uint32_t>(testerPortOffset(p.port) + offsetof(TesterPortRecord, connected)) ==
            1)
            ++connected;
    }
    mActivity.mConnected = connected;
    results::observeTick(results::Layout::Tester, mBlock, mSetting, mJournalPorts);
    if (mStatusWidget)
        showCounters(mBlock.header());
    mActivity.mWorkingLast = mWorking;
    mPowerOff.tick(mWorking, mBoardPower);
}

void MainWindow::showCounters(const StatusHeader& header) {
    mCounters.show(mWorking, mSuccess, mFail, header);
    // The engine version follows the block for its first ten reports, then stays.
    if (header.engineVersion != 0 && mVersionLabels <= 9) {
        if (!mEngineVersionLabel)
            mEngineVersionLabel =
                makeStripLabel(mStatusWidget, QString(), 8, false, QRect(1750, 70, 150, 12));
        mEngineVersionLabel->show();
        mEngineVersionLabel->setText(QStringLiteral("V") + hexVersion(header.engineVersion));
        ++mVersionLabels;
    }
}

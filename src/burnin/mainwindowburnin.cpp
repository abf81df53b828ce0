#include "burnin/mainwindowburnin.h"

#include "base/log_file.h"
#include "burnin/framebn.h"
#include "dialogs/settings_dialog_choice.h"
#include "forms/copier_forms.h"
#include "forms/screen.h"
#include "forms/strip_labels.h"
#include "forms/widget_updates.h"
#include "link/engine_messages.h"
#include "results/journal.h"
#include "settings/settings.h"
#include "tester/mainwindow.h"

#include <QDialog>
#include <QLabel>
#include <QTimer>

MainWindowBurnin* burninWindow = nullptr;

using namespace burnin;

MainWindowBurnin::MainWindowBurnin(QWidget* parent, int portCount)
    : QMainWindow(parent), mTimer(new QTimer(this)),
      mForm(forms::chooseForm(
          forms::burninForms(), portCount,
          forms::burninFormVariant(portCount, mSetting.machine_type, mSetting.machine_variant))),
      mPortCount(portCount), mPause(h2::realPause) {
    const int variant = mSetting.machine_variant;
    forms::buildForm(*this, mForm, [portCount, variant](QWidget* parent, int) {
        return new FrameBn(parent, portCount, variant);
    });
    // Made once: the title keeps the engine version known now for the life of the window.
    mTitleText = coverTitle(Info.read<uint32_t>(offsetof(StatusHeader, engineVersion)));
    for (int i = 1; i <= portCount; ++i) {
        auto* frame = findChild<FrameBn*>(QStringLiteral("frame_%1").arg(i));
        mFrames.push_back(frame);
        if (!frame)
            continue;
        frame->setNumber(i);
        frame->setTitle(mTitleText);
        frame->setPort(i - 1);
        mJournalPorts.push_back({i - 1, i});
    }
    mStatusWidget = findChild<QWidget*>(QStringLiteral("StatusWidget"));
    if (mStatusWidget) {
        mCounters.find(mStatusWidget);
        // The form's placeholder names no mode; the frames' titles call this one "BURNIN".
        if (auto* mode = mStatusWidget->findChild<QLabel*>(QStringLiteral("workingMode")))
            mode->setText(QStringLiteral("BURNIN"));
        if (portCount > 8)
            addBrandLabels(mStatusWidget, mForm.brandName, mForm.brandLine);
    }
    connect(mTimer, &QTimer::timeout, this, &MainWindowBurnin::JobUiChange);
    connect(this, &MainWindowBurnin::stopSignal, this, &MainWindowBurnin::stopslot);
    connect(this, &MainWindowBurnin::startSignal, this, &MainWindowBurnin::startslot);
}

MainWindowBurnin::~MainWindowBurnin() = default;

void MainWindowBurnin::start() {
    emit startSignal();
}

void MainWindowBurnin::stop() {
    emit stopSignal();
    mPause(2000);
}

bool MainWindowBurnin::running() const {
    return mTimer->isActive();
}

void MainWindowBurnin::startslot() {
    showMainWindow(this, h2::ShowAs::Maximized);
    mTimer->start(1000);
}

void MainWindowBurnin::stopslot() {
    hide();
    mTimer->stop();
}

void MainWindowBurnin::JobUiChange() {
    mCounts = {};
    Info.snapshot(mBlock);
    for (FrameBn* frame : mFrames) {
        if (!frame)
            continue;
        mCounts.add(frame->update(mBlock, mSetting));
    }
    results::observeTick(results::Layout::Burnin, mBlock, mSetting, mJournalPorts);
    if (!mStatusWidget)
        return;
    restyle(mStatusWidget, QString::fromLatin1(frame_styles::kGrey));
    mCounters.show(mCounts.working, mCounts.success, mCounts.fail, mBlock.header());
}

bool MainWindowBurnin::anyPortBusy() const {
    StatusBlock block;
    Info.snapshot(block);
    for (int i = 0; i < mPortCount; ++i) {
        if (block.burninPort(i).busy != 0)
            return true;
    }
    return false;
}

void MainWindowBurnin::mousePressEvent(QMouseEvent*) {
    if (anyPortBusy())
        return;
    if (execSettingsDialog(burninPressDialog(mSetting.machine_variant), this) != QDialog::Accepted)
        return;
    LOGD("dialog accepted \n\r");
    if (mSetting.mode == kModeBurnin && burninWindow) {
        LOGD("will change to burnin test\n\r");
    } else if (mainWindow) {
        LOGD("will change to h2 test\n\r");
        hide();
        stop();
        showMainWindow(mainWindow, h2::ShowAs::Maximized);
        mainWindow->start();
    }
    sendSetting();
    writeSetting();
    LOGD("accept ok\n\r");
}

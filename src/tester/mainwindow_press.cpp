// A press on the tester window: the settings dialog of the machine and, once accepted, the
// window that serves the chosen work mode.

#include "base/log_file.h"
#include "burnin/burnin_logic.h"
#include "burnin/mainwindowburnin.h"
#include "copier/mainwindowcopy.h"
#include "dialogs/settings_dialog_choice.h"
#include "forms/screen.h"
#include "link/engine_messages.h"
#include "settings/settings.h"
#include "tester/mainwindow.h"
#include "tester/mode_title.h"

#include <QDialog>

namespace {

// The modes the tester window serves on a copier.
bool testerServes(int mode) {
    return mode == 0 || mode == 1 || mode == 2 || mode == 10 || mode == 11;
}

// Settings go to the engine first, then the frames forget their runs, then the file.
void sendUpdateStore(MainWindow& window) {
    sendSetting();
    window.updateSetting();
    writeSetting();
}

} // namespace

void MainWindow::retitleFrames() {
    titleFrames(tester::settingTitle(mSetting.mode,
                                     Info.read<uint32_t>(offsetof(StatusHeader, engineVersion))));
}

void MainWindow::mousePressEvent(QMouseEvent*) {
    const int working = mActivity.mWorkingLast;
    if (working != 0) {
        LOGD("working count %d\n\r", working);
        return;
    }
    if (mBoardPower && mBoardPower->boardState() == 2) {
        LOGD("board down\n\r");
        return;
    }
    LOGD("mousePress %d %d\n\r", mSetting.machine_type, mSetting.machine_variant);
    const SettingsDialogKind dialog =
        testerPressDialog(mSetting.machine_type, mSetting.machine_variant, mSetting.port_count);
    if (execSettingsDialog(dialog, this) != QDialog::Accepted)
        return;
    const int mode = mSetting.mode;
    auto toBurnin = [this] {
        LOGD("will change to burnin test\n\r");
        hide();
        stop();
        burninWindow->start();
    };

    switch (dialog) {
    case SettingsDialogKind::Tester:
        if (mode == burnin::kModeBurnin && burninWindow) {
            toBurnin();
            break;
        }
        LOGD("dialog accepted\n\r");
        retitleFrames();
        if (mainWindow) {
            LOGD("will change to H2\n\r");
            mainWindow->start();
        }
        break;
    case SettingsDialogKind::Tf:
        LOGD("dialog accepted\n\r");
        retitleFrames();
        break;
    case SettingsDialogKind::H2bn:
        LOGD("dialog accepted\n\r");
        if (mode == burnin::kModeBurnin && burninWindow)
            toBurnin();
        else
            retitleFrames();
        break;
    case SettingsDialogKind::Copier:
    case SettingsDialogKind::Ssd:
        LOGD("dialog accepted %d\n\r", mode);
        if (testerServes(mode)) {
            if (mainWindow) {
                LOGD("will change to H2\n\r");
                mainWindow->start();
            }
        } else {
            LOGD("will change  copymode %d\n\r", mode);
            if (copyWindow) {
                hide();
                stop();
                showMainWindow(copyWindow, h2::ShowAs::FullScreen);
                copyWindow->start();
            }
        }
        break;
    }
    sendUpdateStore(*this);
}

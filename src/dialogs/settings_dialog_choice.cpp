#include "dialogs/settings_dialog_choice.h"

#include "dialogs/settingdialog.h"
#include "dialogs/settingdialog_tf.h"
#include "dialogs/settingdlg.h"
#include "dialogs/settingdlg_h2bn.h"
#include "dialogs/settingdlg_ssd.h"

SettingsDialogKind testerPressDialog(int machineType, int machineVariant, int portCount) {
    if (machineType == 0) {
        if (machineVariant == 0)
            return SettingsDialogKind::Tester;
        return machineVariant == 1 ? SettingsDialogKind::Tf : SettingsDialogKind::H2bn;
    }
    if (machineVariant == 2 || (machineVariant == 3 && portCount <= 12))
        return SettingsDialogKind::Ssd;
    return SettingsDialogKind::Copier;
}

SettingsDialogKind copierPressDialog(int machineType, int machineVariant, int portCount) {
    if (machineType == 2 && (machineVariant == 2 || (machineVariant == 3 && portCount <= 12)))
        return SettingsDialogKind::Ssd;
    return SettingsDialogKind::Copier;
}

SettingsDialogKind burninPressDialog(int machineVariant) {
    return machineVariant == 0 ? SettingsDialogKind::Tester : SettingsDialogKind::H2bn;
}

bool testerModeOfCopierDialog(SettingsDialogKind dialog, int mode) {
    // Unsigned, as at start-up: a negative mode is no tester mode.
    const unsigned m = unsigned(mode);
    if (m <= 2 || m == 11)
        return true;
    return dialog == SettingsDialogKind::Ssd && m == 10;
}

namespace {
template <typename Dialog> int execOn(QWidget* parent) {
    Dialog dialog(parent);
    return dialog.exec();
}
} // namespace

int execSettingsDialog(SettingsDialogKind kind, QWidget* parent) {
    switch (kind) {
    case SettingsDialogKind::Tester:
        return execOn<SettingDialog>(parent);
    case SettingsDialogKind::Tf:
        return execOn<SettingDialog_tf>(parent);
    case SettingsDialogKind::H2bn:
        return execOn<SettingDlg_h2bn>(parent);
    case SettingsDialogKind::Copier:
        return execOn<SettingDlg>(parent);
    case SettingsDialogKind::Ssd:
        return execOn<SettingDlg_ssd>(parent);
    }
    return 0;
}

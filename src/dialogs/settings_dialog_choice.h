#pragma once
// Which settings dialog a press on a main window opens, and running it.

class QWidget;

enum class SettingsDialogKind {
    Tester, // SettingDialog
    Tf,     // SettingDialog_tf
    H2bn,   // SettingDlg_h2bn
    Copier, // SettingDlg
    Ssd,    // SettingDlg_ssd
};

// A press on the tester window: by machine type and variant; the small variant-3 copiers
// take the SSD dialog.
SettingsDialogKind testerPressDialog(int machineType, int machineVariant, int portCount);
// A press on the copier window: the SSD dialog on type-2 machines of variant 2, and of
// variant 3 with 12 ports or fewer.
SettingsDialogKind copierPressDialog(int machineType, int machineVariant, int portCount);
// A press on the burn-in window.
SettingsDialogKind burninPressDialog(int machineVariant);

// Whether a mode accepted in a copier's dialog belongs to the tester window.
bool testerModeOfCopierDialog(SettingsDialogKind dialog, int mode);

// Runs the dialog modally over `parent`; its exec() result (1 when accepted).
int execSettingsDialog(SettingsDialogKind kind, QWidget* parent);

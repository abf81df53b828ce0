#pragma once
// The burn-in machine's settings dialog: H2 test, burn-in and wipe parameters, master
// reset, language and log export. It edits a copy of mSetting; only OK copies it back.

#include "settings/setting_record.h"

#include <QDialog>

#include <memory>

class QButtonGroup;

namespace Ui {
class SettingDlg_h2bn;
}

class SettingDlg_h2bn final : public QDialog {
    Q_OBJECT

public:
    explicit SettingDlg_h2bn(QWidget* parent = nullptr);
    ~SettingDlg_h2bn() override;

private slots:
    void onBlockClicked();
    void onburnBlockClicked();
    void on_buttonBox_accepted();
    void on_buttonBox_rejected();
    void onExportLogClicked();

private:
    // Connected by hand: no widget carries these names.
    void on_mode_clicked();
    void on_cap_clicked();
    void on_speed_clicked();
    void on_readspeed_clicked();
    void on_burn_data_clicked();
    void on_wipe_data_clicked();
    void loadControls();

    std::unique_ptr<Ui::SettingDlg_h2bn> ui;
    QButtonGroup* mModeGroup = nullptr;
    QButtonGroup* mTestBlockGroup = nullptr;
    QButtonGroup* mBurnBlockGroup = nullptr;
    QButtonGroup* mBurnDataGroup = nullptr;
    QButtonGroup* mWipeGroup = nullptr;
    SettingRecord mWork{};
    bool mLoading = true; // the constructor fills the controls; that is no operator choice
};

#pragma once
// The settings dialog of SSD copiers: copy and wipe modes, capacity difference, one block
// size for copying and testing, the copy countdown, the wipe pattern, master reset, language
// and log export. It edits a copy of mSetting; only OK copies it back and stores it. The
// opener sends the settings message after exec() returns.

#include "settings/setting_record.h"

#include <QDialog>

#include <memory>

class QButtonGroup;

namespace Ui {
class SettingDlg_ssd;
}

class SettingDlg_ssd final : public QDialog {
    Q_OBJECT
public:
    explicit SettingDlg_ssd(QWidget* parent = nullptr);
    ~SettingDlg_ssd() override;

    const SettingRecord& workingCopy() const { return mWork; }

private slots:
    void on_buttonBox_accepted();
    void on_buttonBox_rejected();

private:
    // Connected by pointer: their names match no widget, so they are not slots.
    void on_mode_clicked();
    void onBlockClicked();
    void onCopyCapClicked();
    void on_wipe_data_clicked();
    void onCopyErrClicked();
    void onExportLogClicked();

    std::unique_ptr<Ui::SettingDlg_ssd> ui;
    QButtonGroup* mModeGroup;
    QButtonGroup* mBlockGroup;
    QButtonGroup* mCopyCapGroup;
    QButtonGroup* mWipeGroup;
    SettingRecord mWork{};
};

#pragma once
// The copier's settings dialog: copy, test and format options, capacity grading,
// language and log export. It edits a copy of mSetting; only OK copies it back.

#include "settings/setting_record.h"

#include <QDialog>

#include <memory>

class QButtonGroup;

namespace Ui {
class SettingDlg;
}

class SettingDlg final : public QDialog {
    Q_OBJECT

public:
    explicit SettingDlg(QWidget* parent = nullptr);
    ~SettingDlg() override;

private slots:
    void onmodeclicked();
    void onformatclicked();
    void onBlockClicked();
    void onCopyCapClicked();
    void onafterformatclicked();
    void oncapfiltclicked();
    void onpreformatclicked();
    void on_buttonBox_accepted();
    void on_buttonBox_rejected();
    void onExportLogClicked();

private:
    // Not auto-connected by name: no widget is called "keepvol".
    void on_keepvol_clicked();
    void loadControls();
    // Turns to the page of a work mode; false (page unchanged) for a mode without one.
    bool showPageOf(int mode);

    std::unique_ptr<Ui::SettingDlg> ui;
    QButtonGroup* mModeGroup = nullptr;
    QButtonGroup* mFormatGroup = nullptr;
    QButtonGroup* mTestBlockGroup = nullptr;
    QButtonGroup* mTestRangeGroup = nullptr;
    QButtonGroup* mCopyCapGroup = nullptr;
    SettingRecord mWork{};
};

#pragma once
// The tester's settings dialog: test mode, speed thresholds, block sizes, test range,
// burn-in, format options, capacity grading, language and log export. It edits a copy of
// mSetting; only OK copies it back, stores it and, when master reset is ticked, sends the
// master-clear command. The opener sends the settings message after exec() returns.

#include "settings/setting_record.h"

#include <QDialog>

#include <memory>

class QButtonGroup;

namespace Ui {
class SettingDialog;
}

class SettingDialog final : public QDialog {
    Q_OBJECT
public:
    explicit SettingDialog(QWidget* parent = nullptr);
    ~SettingDialog() override;

    // The copy being edited (for tests).
    const SettingRecord& workingCopy() const { return mWork; }

private slots:
    void on_buttonBox_accepted();

private:
    // Connected by pointer: their names match no widget, so they are not slots.
    void on_mode_clicked();
    void on_format_clicked();
    void onBlockClicked();
    void onburnBlockClicked();
    void on_burn_data_clicked();
    void on_afterformat_clicked();
    void on_volume_clicked();
    void on_analysisPre_clicked();
    void on_capfilt_clicked();
    void onExportLogClicked();

    std::unique_ptr<Ui::SettingDialog> ui;
    QButtonGroup* mFormatGroup;
    QButtonGroup* mModeGroup;
    QButtonGroup* mTestBlockGroup;
    QButtonGroup* mBurnBlockGroup;
    QButtonGroup* mBurnDataGroup;
    QButtonGroup* mTestRangeGroup;
    SettingRecord mWork{};
};

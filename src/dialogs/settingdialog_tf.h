#pragma once
// The settings dialog of TF-card testers: a reduced tester dialog with three modes (H2
// test, format, H5 test), speeds, test block and range, format options, capacity grading,
// language and log export. The mode buttons do not turn the page. It edits a copy of
// mSetting; only OK copies it back and stores it. The opener sends the settings message.

#include "settings/setting_record.h"

#include <QDialog>

#include <memory>

class QButtonGroup;

namespace Ui {
class SettingDialog_tf;
}

class SettingDialog_tf final : public QDialog {
    Q_OBJECT
public:
    explicit SettingDialog_tf(QWidget* parent = nullptr);
    ~SettingDialog_tf() override;

    const SettingRecord& workingCopy() const { return mWork; }

private slots:
    void on_buttonBox_accepted();

private:
    // Connected by pointer: their names match no widget, so they are not slots.
    void on_mode_clicked();
    void on_format_clicked();
    void on_afterformat_clicked();
    void onBlockClicked();
    void on_capfilt_clicked();
    void onExportLogClicked();

    std::unique_ptr<Ui::SettingDialog_tf> ui;
    QButtonGroup* mFormatGroup;
    QButtonGroup* mModeGroup;
    QButtonGroup* mTestBlockGroup;
    QButtonGroup* mTestRangeGroup;
    SettingRecord mWork{};
};

#include "dialogs/settingdialog_tf.h"

#include "base/log_file.h"
#include "dialogs/capacity_grading.h"
#include "dialogs/dialog_commands.h"
#include "dialogs/dialog_support.h"
#include "dialogs/language_switch.h"
#include "dialogs/log_export.h"
#include "dialogs/setting_values.h"
#include "settings/settings.h"
#include "ui_settingdialog_tf.h"

#include <QAbstractButton>
#include <QButtonGroup>

using dialogs::checkId;
using dialogs::connectButtons;
using dialogs::makeGroup;

SettingDialog_tf::SettingDialog_tf(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::SettingDialog_tf>()) {
    ui->setupUi(this);
    mFormatGroup = makeGroup(this, {{ui->formatkeep, 0},
                                    {ui->formatauto, 1},
                                    {ui->formatfat16, 2},
                                    {ui->formatfat32, 3},
                                    {ui->formatfat64, 4}});
    mModeGroup = makeGroup(this, {{ui->testmode, 0}, {ui->formatmode, 1}, {ui->h5testmode, 2}});

    mTestBlockGroup = makeGroup(
        this, {{ui->test_4k, 0}, {ui->test_2m, 5}, {ui->test_64k, 1}, {ui->test_autoblk, 6}});
    dialogs::showLanguages(ui->language, mSetting.language);

    connectButtons(mModeGroup, this, &SettingDialog_tf::on_mode_clicked);
    connectButtons(mFormatGroup, this, &SettingDialog_tf::on_format_clicked);
    connectButtons(mTestBlockGroup, this, &SettingDialog_tf::onBlockClicked);

    mWork = snapshotSetting();
    LOGD("speed %d formattype %d  mode %d\n\r", mWork.write_speed, mWork.format_type, mWork.mode);
    LOGD("cap %d err %d\n\r", mWork.copy_cap, mWork.copy_err);

    ui->after_format->setChecked(mWork.after_format != 0);
    connect(ui->after_format, &QAbstractButton::clicked, this,
            &SettingDialog_tf::on_afterformat_clicked);
    ui->spinBox->setValue(mWork.testSizePercent);
    ui->spinBox_test_m->setValue(mWork.testSizeM);

    dialogs::fillCombo(ui->comboBox_test_number, dialogs::testSizePresets().texts);
    mTestRangeGroup =
        makeGroup(this, {{ui->test_percent, 0}, {ui->test_m, 1}, {ui->test_regular, 2}});
    connectButtons(mTestRangeGroup, this, &SettingDialog_tf::onBlockClicked);
    checkId(mTestRangeGroup, mWork.testSizeMode);
    ui->comboBox_test_number->setCurrentIndex(dialogs::testSizeRegIndex(mWork.testSizeReg));

    checkId(mFormatGroup, mWork.format_type);
    checkId(mModeGroup, mWork.mode); // the page stays as the form opens it

    dialogs::bindTesterSpeeds(ui->comboBox_2, ui->comboBox_3, mWork);
    checkId(mTestBlockGroup, dialogs::testBlockIds().idFor(mWork.test_block));

    // master_reset opens unchecked every time; create_mbr edits createMBR as in the tester
    // dialog, so that this dialog neither hides nor drops the stored choice.
    ui->create_mbr->setChecked(mWork.createMBR != 0);
    connect(ui->export_log, &QAbstractButton::clicked, this, &SettingDialog_tf::onExportLogClicked);

    ui->capacityGrading->load(&mWork, ui->test_capfil_en, ui->format_capfil_en);
}

SettingDialog_tf::~SettingDialog_tf() = default;

void SettingDialog_tf::on_mode_clicked() {
    dialogs::storeCheckedId(mWork.mode, mModeGroup);
}

void SettingDialog_tf::on_format_clicked() {
    dialogs::storeCheckedId(mWork.format_type, mFormatGroup);
}

void SettingDialog_tf::on_afterformat_clicked() {
    dialogs::flipFlag(mWork.after_format, ui->after_format);
}

// Shared by the block and the range buttons: both groups are read on every click.
void SettingDialog_tf::onBlockClicked() {
    if (auto bytes = dialogs::testBlockIds().forId(mTestBlockGroup->checkedId()))
        mWork.test_block = *bytes;
    mWork.testSizeMode = dialogs::checkedIdOr(mTestRangeGroup, 0);
}

void SettingDialog_tf::on_capfilt_clicked() {}

void SettingDialog_tf::onExportLogClicked() {
    LogExport::start(this);
}

void SettingDialog_tf::on_buttonBox_accepted() {
    mWork.language = ui->language->currentIndex();
    mWork.testSizePercent = ui->spinBox->value();
    mWork.testSizeM = ui->spinBox_test_m->value();
    mWork.MASTERCLEAR = ui->master_reset->isChecked() ? 1 : 0;
    mWork.createMBR = ui->create_mbr->isChecked() ? 1 : 0;
    LOGD("dlgSetting.testCapacity = %d\n\r", mWork.capacity_test);
    switchLanguage(mSetting.language, mWork.language);
    mWork.testSizeReg = dialogs::testSizeRegForIndex(ui->comboBox_test_number->currentIndex());
    ui->capacityGrading->store(mWork);

    commitSetting(mWork);
    writeSetting();
    if (mSetting.MASTERCLEAR == 1)
        dialogCommands().masterClear();
    // The form's accepted() -> accept() connection closes the dialog.
}

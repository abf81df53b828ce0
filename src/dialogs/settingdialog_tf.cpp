#include "dialogs/settingdialog_tf.h"

#include "app/log_file.h"
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

    dialogs::fillCombo(ui->comboBox_2, dialogs::testerWriteSpeeds().texts);
    dialogs::fillCombo(ui->comboBox_3, dialogs::testerReadSpeeds().texts);
    mTestBlockGroup = makeGroup(
        this, {{ui->test_4k, 0}, {ui->test_2m, 5}, {ui->test_64k, 1}, {ui->test_autoblk, 6}});
    dialogs::fillCombo(ui->language, dialogs::languageNames());
    ui->language->setCurrentIndex(mSetting.language != 0 ? 1 : 0);

    connect(ui->comboBox_2, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &SettingDialog_tf::on_speed_clicked);
    connect(ui->comboBox_3, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &SettingDialog_tf::on_readspeed_clicked);
    connectGroup(mModeGroup, &SettingDialog_tf::on_mode_clicked);
    connectGroup(mFormatGroup, &SettingDialog_tf::on_format_clicked);
    connectGroup(mTestBlockGroup, &SettingDialog_tf::onBlockClicked);

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
    connectGroup(mTestRangeGroup, &SettingDialog_tf::onBlockClicked);
    checkId(mTestRangeGroup, mWork.testSizeMode);
    ui->comboBox_test_number->setCurrentIndex(dialogs::testSizeRegIndex(mWork.testSizeReg));

    checkId(mFormatGroup, mWork.format_type);
    checkId(mModeGroup, mWork.mode); // the page stays as the form opens it

    ui->comboBox_2->setCurrentIndex(dialogs::testerWriteSpeeds().indexOf(mWork.write_speed, 0));
    ui->comboBox_3->setCurrentIndex(dialogs::testerReadSpeeds().indexOf(mWork.read_speed, 0));
    checkId(mTestBlockGroup, dialogs::testBlockIds().idFor(mWork.test_block));

    // master_reset opens unchecked every time; create_mbr edits createMBR as in the tester
    // dialog, so that this dialog neither hides nor drops the stored choice.
    ui->create_mbr->setChecked(mWork.createMBR != 0);
    connect(ui->export_log, &QAbstractButton::clicked, this, &SettingDialog_tf::onExportLogClicked);
    ui->test_capfil_en->setChecked(mWork.capfil_test_enable != 0);
    ui->format_capfil_en->setChecked(mWork.capfil_format_enable != 0);

    ui->capacityGrading->load(&mWork);
}

SettingDialog_tf::~SettingDialog_tf() = default;

void SettingDialog_tf::connectGroup(QButtonGroup* group, void (SettingDialog_tf::*slot)()) {
    for (QAbstractButton* button : group->buttons())
        connect(button, &QAbstractButton::clicked, this, slot);
}

void SettingDialog_tf::on_mode_clicked() {
    const int id = mModeGroup->checkedId();
    if (id >= 0 && id <= 2)
        mWork.mode = id;
}

void SettingDialog_tf::on_speed_clicked() {
    if (auto value = dialogs::testerWriteSpeeds().valueAt(ui->comboBox_2->currentIndex()))
        mWork.write_speed = *value;
    consolePrintf("speed %d\n", mWork.write_speed);
}

void SettingDialog_tf::on_readspeed_clicked() {
    if (auto value = dialogs::testerReadSpeeds().valueAt(ui->comboBox_3->currentIndex()))
        mWork.read_speed = *value;
    consolePrintf("readspeed %d\n", mWork.read_speed);
}

void SettingDialog_tf::on_format_clicked() {
    const int id = mFormatGroup->checkedId();
    if (id >= 0 && id <= 4)
        mWork.format_type = id;
}

void SettingDialog_tf::on_afterformat_clicked() {
    dialogs::flipFlag(mWork.after_format, ui->after_format);
}

// Shared by the block and the range buttons: both groups are read on every click.
void SettingDialog_tf::onBlockClicked() {
    if (auto bytes = dialogs::testBlockIds().forId(mTestBlockGroup->checkedId()))
        mWork.test_block = *bytes;
    const int range = mTestRangeGroup->checkedId();
    mWork.testSizeMode = range >= 0 && range <= 2 ? range : 0;
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
    mWork.capfil_test_enable = ui->test_capfil_en->isChecked() ? 1 : 0;
    mWork.capfil_format_enable = ui->format_capfil_en->isChecked() ? 1 : 0;
    ui->capacityGrading->store(mWork);

    commitSetting(mWork);
    writeSetting();
    if (mSetting.MASTERCLEAR == 1)
        dialogCommands().masterClear();
    // The form's accepted() -> accept() connection closes the dialog.
}

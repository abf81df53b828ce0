#include "dialogs/settingdialog.h"

#include "base/log_file.h"
#include "dialogs/capacity_grading.h"
#include "dialogs/dialog_commands.h"
#include "dialogs/dialog_support.h"
#include "dialogs/language_switch.h"
#include "dialogs/log_export.h"
#include "dialogs/setting_values.h"
#include "settings/settings.h"
#include "ui_settingdialog.h"

#include <QAbstractButton>
#include <QButtonGroup>

using dialogs::checkId;
using dialogs::connectButtons;
using dialogs::makeGroup;

SettingDialog::SettingDialog(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::SettingDialog>()) {
    ui->setupUi(this);
    mFormatGroup = makeGroup(this, {{ui->formatkeep, 0},
                                    {ui->formatauto, 1},
                                    {ui->formatfat16, 2},
                                    {ui->formatfat32, 3},
                                    {ui->formatfat64, 4}});
    mModeGroup = makeGroup(this, {{ui->testmode, 0},
                                  {ui->formatmode, 1},
                                  {ui->h5testmode, 2},
                                  {ui->burnin_mode, 7},
                                  {ui->testcmode, 9},
                                  {ui->panalysis, 11}});

    mTestBlockGroup = makeGroup(
        this, {{ui->test_4k, 0}, {ui->test_2m, 5}, {ui->test_64k, 1}, {ui->test_autoblk, 6}});
    mBurnBlockGroup = makeGroup(this, {{ui->burn_block_4k, 0},
                                       {ui->burn_block_64k, 1},
                                       {ui->burnin_block_128k, 2},
                                       {ui->burnin_block_256k, 3},
                                       {ui->burnin_block_1m, 4},
                                       {ui->burnin_block_2m, 5},
                                       {ui->burnin_block_4m, 6}});
    dialogs::showLanguages(ui->language, mSetting.language);

    connectButtons(mBurnBlockGroup, this, &SettingDialog::onburnBlockClicked);
    mBurnDataGroup = makeGroup(this, {{ui->random_data, 0}, {ui->all_0, 1}, {ui->all_1, 2}});
    connectButtons(mBurnDataGroup, this, &SettingDialog::on_burn_data_clicked);
    connectButtons(mModeGroup, this, &SettingDialog::on_mode_clicked);
    connectButtons(mFormatGroup, this, &SettingDialog::on_format_clicked);
    connectButtons(mTestBlockGroup, this, &SettingDialog::onBlockClicked);

    mWork = snapshotSetting();
    LOGD("speed %d formattype %d  mode %d\n\r", mWork.write_speed, mWork.format_type, mWork.mode);
    LOGD("cap %d err %d\n\r", mWork.copy_cap, mWork.copy_err);

    ui->after_format->setChecked(mWork.after_format != 0);
    ui->volumekeep->setChecked(mWork.volumekeep != 0);
    ui->analysis_pre->setChecked(mWork.analysisPre != 0);
    connect(ui->after_format, &QAbstractButton::clicked, this,
            &SettingDialog::on_afterformat_clicked);
    connect(ui->volumekeep, &QAbstractButton::clicked, this, &SettingDialog::on_volume_clicked);
    connect(ui->analysis_pre, &QAbstractButton::clicked, this,
            &SettingDialog::on_analysisPre_clicked);
    ui->spinBox->setValue(mWork.testSizePercent);
    ui->spinBox_test_m->setValue(mWork.testSizeM);

    dialogs::fillCombo(ui->comboBox_test_number, dialogs::testSizePresets().texts);
    mTestRangeGroup =
        makeGroup(this, {{ui->test_percent, 0}, {ui->test_m, 1}, {ui->test_regular, 2}});
    checkId(mTestRangeGroup, mWork.testSizeMode);
    ui->comboBox_test_number->setCurrentIndex(dialogs::testSizeRegIndex(mWork.testSizeReg));

    checkId(mFormatGroup, mWork.format_type);

    switch (mWork.mode) {
    case 0:
    case 2:
    case 9:
    case 11:
        checkId(mModeGroup, mWork.mode);
        ui->tabCopy->setCurrentWidget(ui->tab_h2);
        break;
    case 1:
        checkId(mModeGroup, 1);
        ui->tabCopy->setCurrentWidget(ui->tab_format);
        break;
    case 7: // burnin_mode is checked by the form
        ui->tabCopy->setCurrentWidget(ui->tab_burn);
        break;
    default:
        break;
    }

    dialogs::bindTesterSpeeds(ui->comboBox_2, ui->comboBox_3, mWork);

    checkId(mBurnBlockGroup, dialogs::burninBlockIds().idFor(mWork.burnin_block));
    checkId(mBurnDataGroup, mWork.burnin_data);

    switch (mWork.test_block) {
    case 65536:
        ui->test_64k->setChecked(true);
        break;
    case 2097152:
        ui->test_2m->setChecked(true);
        break;
    case 4096:
        ui->test_4k->setChecked(true);
        break;
    default:
        ui->test_autoblk->setChecked(true);
        break;
    }

    ui->test_content->setValue(mWork.burnin_content);
    ui->test_cycle->setValue(mWork.burnin_cycle);
    ui->test_time->setValue(mWork.burnin_time);

    ui->create_mbr->setChecked(mWork.createMBR != 0);
    ui->master_reset->setChecked(mWork.MASTERCLEAR != 0);
    connect(ui->export_log, &QAbstractButton::clicked, this, &SettingDialog::onExportLogClicked);

    ui->capacityGrading->load(&mWork, ui->test_capfil_en, ui->format_capfil_en);
}

SettingDialog::~SettingDialog() = default;

void SettingDialog::on_mode_clicked() {
    const int id = mModeGroup->checkedId();
    switch (id) {
    case 0:
    case 2:
    case 9:
    case 11:
        mWork.mode = id;
        ui->tabCopy->setCurrentWidget(ui->tab_h2);
        break;
    case 1:
        mWork.mode = 1;
        ui->tabCopy->setCurrentWidget(ui->tab_format);
        break;
    case 7:
        mWork.mode = 7;
        ui->tabCopy->setCurrentWidget(ui->tab_burn);
        LOGD("here\n\r");
        break;
    default:
        break;
    }
}

void SettingDialog::on_format_clicked() {
    dialogs::storeCheckedId(mWork.format_type, mFormatGroup);
}

void SettingDialog::onBlockClicked() {
    if (auto bytes = dialogs::testBlockIds().forId(mTestBlockGroup->checkedId()))
        mWork.test_block = *bytes;
}

void SettingDialog::onburnBlockClicked() {
    if (auto bytes = dialogs::burninBlockIds().forId(mBurnBlockGroup->checkedId()))
        mWork.burnin_block = *bytes;
    LOGD("burnin block %d\n\r", mWork.burnin_block);
}

void SettingDialog::on_burn_data_clicked() {
    dialogs::storeCheckedId(mWork.burnin_data, mBurnDataGroup);
}

void SettingDialog::on_afterformat_clicked() {
    dialogs::flipFlag(mWork.after_format, ui->after_format);
}

void SettingDialog::on_volume_clicked() {
    dialogs::flipFlag(mWork.volumekeep, ui->volumekeep);
}

void SettingDialog::on_analysisPre_clicked() {
    LOGD("dlgSetting.analysisPre = %d\n\r", mWork.analysisPre);
    dialogs::flipFlag(mWork.analysisPre, ui->analysis_pre);
    LOGD("dlgSetting.analysisPre = %d\n\r", mWork.analysisPre);
}

void SettingDialog::on_capfilt_clicked() {}

void SettingDialog::onExportLogClicked() {
    LogExport::start(this);
}

void SettingDialog::on_buttonBox_accepted() {
    mWork.burnin_content = ui->test_content->value();
    mWork.burnin_cycle = ui->test_cycle->value();
    mWork.burnin_time = ui->test_time->value();
    mWork.testSizePercent = ui->spinBox->value();
    mWork.testSizeM = ui->spinBox_test_m->value();
    mWork.createMBR = ui->create_mbr->isChecked() ? 1 : 0;
    mWork.MASTERCLEAR = ui->master_reset->isChecked() ? 1 : 0;

    mWork.testSizeReg = dialogs::testSizeRegForIndex(ui->comboBox_test_number->currentIndex());
    mWork.testSizeMode = dialogs::checkedIdOr(mTestRangeGroup, 0);

    ui->capacityGrading->store(mWork);

    mWork.language = ui->language->currentIndex();
    switchLanguage(mSetting.language, mWork.language);

    commitSetting(mWork);
    LOGD("dlgSetting.testCapacity = %d\n\r", mSetting.capacity_test);
    LOGD("burnin block %d\n\r", mSetting.burnin_block);
    writeSetting();
    if (mSetting.MASTERCLEAR == 1)
        dialogCommands().masterClear();
    accept();
}

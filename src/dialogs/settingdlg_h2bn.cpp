#include "dialogs/settingdlg_h2bn.h"

#include "base/log_file.h"
#include "dialogs/dialog_commands.h"
#include "dialogs/dialog_support.h"
#include "dialogs/language_switch.h"
#include "dialogs/log_export.h"
#include "dialogs/setting_values.h"
#include "settings/settings.h"
#include "ui_settingdlg_h2bn.h"

#include <QButtonGroup>

using namespace dialogs;

namespace {

// A click on any button of a group.
const auto kButtonClicked = qOverload<QAbstractButton*>(&QButtonGroup::buttonClicked);

// The 8-port machine of variant 3 has no burn-in.
bool offersBurnin(const SettingRecord& r) {
    return !(r.machine_variant == 3 && r.port_count == 8);
}

} // namespace

SettingDlg_h2bn::SettingDlg_h2bn(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::SettingDlg_h2bn>()) {
    ui->setupUi(this);

    mModeGroup = makeGroup(this, {{ui->testmode, 0}, {ui->burnin_mode, 7}, {ui->wipemode, 10}});

    if (!offersBurnin(mSetting)) {
        ui->burnin_mode->hide();
        ui->tabCopy->removeTab(ui->tabCopy->indexOf(ui->tab_burn));
    }

    const int variant = mSetting.machine_variant;
    fillCombo(ui->comboBox, burninTestPercents().texts);
    fillCombo(ui->comboBox_2, burninWriteSpeeds(variant).texts);
    fillCombo(ui->comboBox_3, burninReadSpeeds().texts);
    showLanguages(ui->language, mSetting.language);

    mTestBlockGroup = makeGroup(this, {{ui->test_4k, 0},
                                       {ui->test_2m, 5},
                                       {ui->test_64k, 1},
                                       {ui->test_autoblk, kTestBlockAutoId}});

    const auto indexChanged = qOverload<int>(&QComboBox::currentIndexChanged);
    connect(ui->comboBox, indexChanged, this, &SettingDlg_h2bn::on_cap_clicked);
    connect(ui->comboBox_2, indexChanged, this, &SettingDlg_h2bn::on_speed_clicked);
    connect(ui->comboBox_3, indexChanged, this, &SettingDlg_h2bn::on_readspeed_clicked);
    connect(mModeGroup, kButtonClicked, this, &SettingDlg_h2bn::on_mode_clicked);
    connect(mTestBlockGroup, kButtonClicked, this, &SettingDlg_h2bn::onBlockClicked);

    mBurnBlockGroup = makeGroup(this, {{ui->burn_block_4k, 0},
                                       {ui->burn_block_64k, 1},
                                       {ui->burnin_block_128k, 2},
                                       {ui->burnin_block_256k, 3},
                                       {ui->burnin_block_1m, 4},
                                       {ui->burnin_block_2m, 5},
                                       {ui->burnin_block_4m, 6}});
    connect(mBurnBlockGroup, kButtonClicked, this, &SettingDlg_h2bn::onburnBlockClicked);
    mBurnDataGroup = makeGroup(this, {{ui->random_data, 0}, {ui->all_0, 1}, {ui->all_1, 2}});
    connect(mBurnDataGroup, kButtonClicked, this, &SettingDlg_h2bn::on_burn_data_clicked);
    mWipeGroup =
        makeGroup(this, {{ui->random_data_2, 0}, {ui->all_2, 1}, {ui->all_3, 2}, {ui->all_4, 3}});
    connect(mWipeGroup, kButtonClicked, this, &SettingDlg_h2bn::on_wipe_data_clicked);

    mWork = snapshotSetting();
    loadControls();
    mLoading = false;
}

SettingDlg_h2bn::~SettingDlg_h2bn() = default;

void SettingDlg_h2bn::loadControls() {
    checkId(mModeGroup, mWork.mode);

    // A value missing from a list leaves its box on the first item.
    const int speed = burninWriteSpeeds(mWork.machine_variant).indexOf(mWork.write_speed);
    if (speed >= 0)
        ui->comboBox_2->setCurrentIndex(speed);
    const int percent = burninTestPercents().indexOf(mWork.capacity_test);
    if (percent >= 0)
        ui->comboBox->setCurrentIndex(percent);
    const int readSpeed = burninReadSpeeds().indexOf(mWork.read_speed);
    if (readSpeed >= 0)
        ui->comboBox_3->setCurrentIndex(readSpeed);

    checkId(mTestBlockGroup, testBlockIds().idFor(mWork.test_block));

    if (mWork.mode == 7)
        ui->tabCopy->setCurrentWidget(ui->tab_burn);
    else if (mWork.mode == 0 || mWork.mode == 10)
        ui->tabCopy->setCurrentWidget(ui->tab_h2);

    checkId(mBurnBlockGroup, burninBlockIds().idFor(mWork.burnin_block));
    checkId(mBurnDataGroup, mWork.burnin_data);
    checkId(mWipeGroup, mWork.wipe_mode);

    ui->test_content->setValue(mWork.burnin_content);
    ui->test_cycle->setValue(mWork.burnin_cycle);
    ui->test_time->setValue(mWork.burnin_time);
    connect(ui->export_log, &QPushButton::clicked, this, &SettingDlg_h2bn::onExportLogClicked);
}

void SettingDlg_h2bn::on_mode_clicked() {
    const int id = mModeGroup->checkedId();
    if (id == 7) {
        mWork.mode = 7;
        ui->tabCopy->setCurrentWidget(ui->tab_burn);
        LOGD("here\n\r");
    } else if (id == 0 || id == 10) {
        mWork.mode = id;
        ui->tabCopy->setCurrentWidget(ui->tab_h2);
    }
}

void SettingDlg_h2bn::on_cap_clicked() {
    const auto percent = burninTestPercents().valueAt(ui->comboBox->currentIndex());
    if (!percent)
        return;
    mWork.capacity_test = *percent;
    // writeSetting derives capacity_test from the test-size fields: an operator's pick is
    // stored as a percentage there too, so that it survives saving.
    if (!mLoading) {
        mWork.testSizePercent = *percent;
        mWork.testSizeMode = 0;
    }
}

void SettingDlg_h2bn::on_speed_clicked() {
    const auto speed =
        burninWriteSpeeds(mWork.machine_variant).valueAt(ui->comboBox_2->currentIndex());
    if (speed)
        mWork.write_speed = *speed;
}

void SettingDlg_h2bn::on_readspeed_clicked() {
    if (const auto speed = burninReadSpeeds().valueAt(ui->comboBox_3->currentIndex()))
        mWork.read_speed = *speed;
}

void SettingDlg_h2bn::onBlockClicked() {
    if (const auto block = testBlockIds().forId(mTestBlockGroup->checkedId()))
        mWork.test_block = *block;
}

void SettingDlg_h2bn::onburnBlockClicked() {
    if (const auto block = burninBlockIds().forId(mBurnBlockGroup->checkedId()))
        mWork.burnin_block = *block;
}

void SettingDlg_h2bn::on_burn_data_clicked() {
    storeCheckedId(mWork.burnin_data, mBurnDataGroup);
}

void SettingDlg_h2bn::on_wipe_data_clicked() {
    storeCheckedId(mWork.wipe_mode, mWipeGroup);
}

void SettingDlg_h2bn::on_buttonBox_accepted() {
    mWork.burnin_content = ui->test_content->value();
    mWork.burnin_cycle = ui->test_cycle->value();
    mWork.burnin_time = ui->test_time->value();
    mWork.language = ui->language->currentIndex();
    mWork.MASTERCLEAR = ui->master_reset->isChecked() ? 1 : 0;
    LOGD("mode %d\n\r", mSetting.mode);

    switchLanguage(mSetting.language, mWork.language);

    commitSetting(mWork);
    LOGD("button accepted\n\r");

    writeSetting();
    if (mWork.MASTERCLEAR == 1)
        dialogCommands().masterClear();
    accept();
}

void SettingDlg_h2bn::on_buttonBox_rejected() {
    LOGD("reject\n\r");
    reject();
}

void SettingDlg_h2bn::onExportLogClicked() {
    LogExport::start(this);
}

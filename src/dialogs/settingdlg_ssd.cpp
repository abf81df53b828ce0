#include "dialogs/settingdlg_ssd.h"

#include "base/log_file.h"
#include "dialogs/dialog_commands.h"
#include "dialogs/dialog_support.h"
#include "dialogs/language_switch.h"
#include "dialogs/log_export.h"
#include "dialogs/setting_values.h"
#include "settings/settings.h"
#include "ui_settingdlg_ssd.h"

#include <QAbstractButton>
#include <QButtonGroup>

using dialogs::checkId;
using dialogs::makeGroup;

SettingDlg_ssd::SettingDlg_ssd(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::SettingDlg_ssd>()) {
    ui->setupUi(this);
    mModeGroup = makeGroup(this, {{ui->fullcopycompare, 3},
                                  {ui->fullcopy, 4},
                                  {ui->datacopycompare, 5},
                                  {ui->datacopy, 6},
                                  {ui->wipemode, 10}});
    mBlockGroup = makeGroup(this, {{ui->copy_4k, 0},
                                   {ui->copy_64k, 1},
                                   {ui->copy_128k, 2},
                                   {ui->copy_256k, 3},
                                   {ui->copy_1m, 4},
                                   {ui->copy_2m, 5},
                                   {ui->copy_4m, 6}});
    dialogs::showLanguages(ui->language, mSetting.language);
    dialogs::fillCombo(ui->copy_time_count, dialogs::copyTimeCounts().texts);

    dialogs::connectButtons(mModeGroup, this, &SettingDlg_ssd::on_mode_clicked);
    dialogs::connectButtons(mBlockGroup, this, &SettingDlg_ssd::onBlockClicked);
    mCopyCapGroup = makeGroup(this, {{ui->copycap0, 0},
                                     {ui->copycap5, 1},
                                     {ui->copycap10, 2},
                                     {ui->copycap15, 3},
                                     {ui->copycap20, 4},
                                     {ui->copycap30, 5},
                                     {ui->copycap00, 6}});
    dialogs::connectButtons(mCopyCapGroup, this, &SettingDlg_ssd::onCopyCapClicked);
    mWipeGroup =
        makeGroup(this, {{ui->random_data_2, 0}, {ui->all_2, 1}, {ui->all_3, 2}, {ui->all_4, 3}});
    dialogs::connectButtons(mWipeGroup, this, &SettingDlg_ssd::on_wipe_data_clicked);

    mWork = snapshotSetting();
    LOGD("speed %d formattype %d  mode %d need %d\n\r", mWork.write_speed, mWork.format_type,
         mWork.mode, mWork.need_format);
    LOGD("cap %d err %d\n\r", mWork.copy_cap, mWork.copy_err);

    checkId(mModeGroup, mWork.mode);
    checkId(mCopyCapGroup, dialogs::copyCapIds().idFor(mWork.copy_cap));
    checkId(mWipeGroup, mWork.wipe_mode);
    checkId(mBlockGroup, dialogs::burninBlockIds().idFor(mWork.copy_block));

    switch (mWork.mode) {
    case 0:
    case 1:
    case 10:
    case 11:
        ui->tabCopy->setCurrentWidget(ui->tab_h2);
        break;
    default:
        ui->tabCopy->setCurrentWidget(ui->tab_copy);
        break;
    }
    ui->copy_time_count->setCurrentIndex(dialogs::copyTimeCountIndex(mWork.COPYTIMECOUNT));

    connect(ui->export_log, &QAbstractButton::clicked, this, &SettingDlg_ssd::onExportLogClicked);
    // master_reset is not loaded: it opens unchecked every time.
}

SettingDlg_ssd::~SettingDlg_ssd() = default;

void SettingDlg_ssd::on_mode_clicked() {
    const int id = mModeGroup->checkedId();
    switch (id) {
    case 3:
    case 4:
    case 5:
    case 6:
        mWork.mode = id;
        ui->tabCopy->setCurrentWidget(ui->tab_copy);
        break;
    case 10:
        mWork.mode = 10;
        ui->tabCopy->setCurrentWidget(ui->tab_h2);
        break;
    default:
        break;
    }
}

void SettingDlg_ssd::onBlockClicked() {
    if (auto bytes = dialogs::burninBlockIds().forId(mBlockGroup->checkedId()))
        mWork.copy_block = *bytes;
}

void SettingDlg_ssd::onCopyCapClicked() {
    if (auto percent = dialogs::copyCapIds().forId(mCopyCapGroup->checkedId()))
        mWork.copy_cap = *percent;
    else
        LOGE("error\n\r");
}

void SettingDlg_ssd::on_wipe_data_clicked() {
    dialogs::storeCheckedId(mWork.wipe_mode, mWipeGroup);
}

void SettingDlg_ssd::onCopyErrClicked() {}

void SettingDlg_ssd::onExportLogClicked() {
    LogExport::start(this);
}

void SettingDlg_ssd::on_buttonBox_accepted() {
    mWork.language = ui->language->currentIndex();
    switchLanguage(mSetting.language, mWork.language);
    mWork.COPYTIMECOUNT = dialogs::copyTimeCountForIndex(ui->copy_time_count->currentIndex());
    mWork.MASTERCLEAR = ui->master_reset->isChecked() ? 1 : 0;

    // The block chosen here serves the engine for both reading and writing; SSDs have no
    // speed threshold.
    mWork.write_speed = 0;
    mWork.test_block = mWork.copy_block;
    commitSetting(mWork);
    LOGD("mode %d cap %d err %d %d\n\r", mSetting.mode, mSetting.copy_cap, mSetting.copy_err,
         mSetting.COPYTIMECOUNT);
    LOGD("button accepted\n\r");

    writeSetting();
    if (mSetting.MASTERCLEAR == 1)
        dialogCommands().masterClear();
    accept();
}

void SettingDlg_ssd::on_buttonBox_rejected() {
    LOGD("reject\n\r");
    reject();
}

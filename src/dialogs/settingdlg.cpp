#include "dialogs/settingdlg.h"

#include "app/log_file.h"
#include "dialogs/dialog_commands.h"
#include "dialogs/language_switch.h"
#include "dialogs/setting_values.h"
#include "settings/settings.h"
#include "ui_settingdlg.h"

#include <QButtonGroup>

using namespace dialogs;

namespace {

enum Page { CopyPage, TestPage, FormatPage, NoPage };

// The page each work mode belongs to; modes the dialog does not know keep the page shown.
Page pageForMode(int mode) {
    switch (mode) {
    case 0:
    case 2:
    case 11:
        return TestPage;
    case 1:
        return FormatPage;
    case 3:
    case 4:
    case 5:
    case 6:
    case 12:
    case 13:
        return CopyPage;
    default:
        return NoPage;
    }
}

void checkButton(QButtonGroup* group, int id) {
    if (QAbstractButton* b = group->button(id))
        b->setChecked(true);
}

} // namespace

SettingDlg::SettingDlg(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::SettingDlg>()), mModeGroup(new QButtonGroup(this)),
      mFormatGroup(new QButtonGroup(this)), mTestBlockGroup(new QButtonGroup(this)),
      mTestRangeGroup(new QButtonGroup(this)), mCopyCapGroup(new QButtonGroup(this)) {
    ui->setupUi(this);

    mFormatGroup->addButton(ui->formatkeep, 0);
    mFormatGroup->addButton(ui->formatauto, 1);
    mFormatGroup->addButton(ui->formatfat16, 2);
    mFormatGroup->addButton(ui->formatfat32, 3);
    mFormatGroup->addButton(ui->formatfat64, 4);
    mFormatGroup->addButton(ui->formatfat32_2, 5);

    mModeGroup->addButton(ui->testmode, 0);
    mModeGroup->addButton(ui->formatmode, 1);
    mModeGroup->addButton(ui->h5testmode, 2);
    mModeGroup->addButton(ui->fullcopycompare, 3);
    mModeGroup->addButton(ui->fullcopy, 4);
    mModeGroup->addButton(ui->datacopycompare, 5);
    mModeGroup->addButton(ui->datacopy, 6);
    mModeGroup->addButton(ui->fullcompare, 12);
    mModeGroup->addButton(ui->datacompare, 13);

    ui->language->addItems(languageNames());
    ui->language->setCurrentIndex(mSetting.language != 0 ? 1 : 0);

    ui->copy_block_size->addItems(copyBlockSizes().texts);
    ui->comboBox_test_number->clear();
    ui->comboBox_test_number->addItems(testSizePresets().texts);
    ui->comboBox_volume->addItems({tr("无"), tr("保留卷标"), tr("拷贝卷标")});
    ui->copy_time_count->addItems(copyTimeCounts().texts);

    mTestBlockGroup->addButton(ui->test_4k, 0);
    mTestBlockGroup->addButton(ui->test_64k, 1);
    mTestBlockGroup->addButton(ui->test_2m, 5);
    mTestBlockGroup->addButton(ui->test_autoblk, kTestBlockAutoId);

    mTestRangeGroup->addButton(ui->test_percent, 0);
    mTestRangeGroup->addButton(ui->test_m, 1);
    mTestRangeGroup->addButton(ui->test_regular, 2);

    connectButtons(mModeGroup, &SettingDlg::onmodeclicked);
    connect(ui->comboBox_volume, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &SettingDlg::on_keepvol_clicked);
    connectButtons(mFormatGroup, &SettingDlg::onformatclicked);
    connectButtons(mTestBlockGroup, &SettingDlg::onBlockClicked);
    connectButtons(mTestRangeGroup, &SettingDlg::onBlockClicked);

    mCopyCapGroup->addButton(ui->copycap00, 6);
    mCopyCapGroup->addButton(ui->copycap0, 0);
    mCopyCapGroup->addButton(ui->copycap5, 1);
    mCopyCapGroup->addButton(ui->copycap10, 2);
    mCopyCapGroup->addButton(ui->copycap15, 3);
    mCopyCapGroup->addButton(ui->copycap20, 4);
    mCopyCapGroup->addButton(ui->copycap30, 5);
    connectButtons(mCopyCapGroup, &SettingDlg::onCopyCapClicked);

    mWork = snapshotSetting();
    LOGD("speed %d formattype %d  mode %d need %d\n\r", mWork.write_speed, mWork.format_type,
         mWork.mode, mWork.need_format);
    LOGD("cap %d err %d\n\r", mWork.copy_cap, mWork.copy_err);

    loadControls();
}

SettingDlg::~SettingDlg() = default;

void SettingDlg::connectButtons(QButtonGroup* group, void (SettingDlg::*slot)()) {
    for (QAbstractButton* b : group->buttons())
        connect(b, &QAbstractButton::clicked, this, slot);
}

void SettingDlg::loadControls() {
    connect(ui->export_log, &QPushButton::clicked, this, &SettingDlg::onExportLogClicked);
    ui->after_format->setChecked(mWork.after_format != 0);
    connect(ui->after_format, &QCheckBox::clicked, this, &SettingDlg::onafterformatclicked);

    const int vol = mWork.volumekeep;
    ui->comboBox_volume->setCurrentIndex(vol == 1 || vol == 2 ? vol : 0);

    checkButton(mFormatGroup, mWork.format_type);
    checkButton(mModeGroup, mWork.mode);
    if (mWork.mode == 1)
        LOGD("format mode\n\r");

    checkButton(mCopyCapGroup, copyCapIds().idFor(mWork.copy_cap));

    // Anything but the three fixed sizes shows as automatic.
    const int blockId = testBlockIds().idFor(mWork.test_block);
    checkButton(mTestBlockGroup, blockId < 0 ? kTestBlockAutoId : blockId);
    checkButton(mTestRangeGroup, mWork.testSizeMode);

    ui->comboBox_test_number->setCurrentIndex(testSizeRegIndex(mWork.testSizeReg));
    ui->copy_block_size->setCurrentIndex(copyBlockIndex(mWork.copy_block));

    ui->after_format->setChecked(mWork.after_format != 0);
    ui->create_mbr->setChecked(mWork.createMBR != 0);
    ui->master_reset->setChecked(mWork.MASTERCLEAR != 0);

    ui->spinBox->setValue(mWork.testSizePercent);
    ui->spinBox_2->setValue(mWork.write_speed);
    ui->spinBox_3->setValue(mWork.read_speed);
    ui->spinBox_test_m->setValue(mWork.testSizeM);

    switch (pageForMode(mWork.mode)) {
    case TestPage:
        ui->tabCopy->setCurrentWidget(ui->tab_h2);
        break;
    case CopyPage:
        ui->tabCopy->setCurrentWidget(ui->tab_copy);
        break;
    case FormatPage:
        ui->tabCopy->setCurrentWidget(ui->tab_format);
        break;
    case NoPage:
        break;
    }

    ui->copy_time_count->setCurrentIndex(copyTimeCountIndex(mWork.COPYTIMECOUNT));

    ui->test_capfil_en->setChecked(mWork.capfil_test_enable != 0);
    ui->format_capfil_en->setChecked(mWork.capfil_format_enable != 0);
}

void SettingDlg::onmodeclicked() {
    const int id = mModeGroup->checkedId();
    const Page page = pageForMode(id);
    if (page == NoPage)
        return;
    mWork.mode = id;
    if (page == TestPage)
        ui->tabCopy->setCurrentWidget(ui->tab_h2);
    else if (page == FormatPage)
        ui->tabCopy->setCurrentWidget(ui->tab_format);
    else
        ui->tabCopy->setCurrentWidget(ui->tab_copy);
}

void SettingDlg::onformatclicked() {
    const int id = mFormatGroup->checkedId();
    if (id >= 0 && id <= 5)
        mWork.format_type = id;
}

void SettingDlg::onCopyCapClicked() {
    if (const auto cap = copyCapIds().forId(mCopyCapGroup->checkedId()))
        mWork.copy_cap = *cap;
    else
        LOGE("error\n\r");
}

void SettingDlg::on_keepvol_clicked() {
    const int index = ui->comboBox_volume->currentIndex();
    mWork.volumekeep = index == 1 || index == 2 ? index : 0;
    LOGD("volume %d\n\r", mWork.volumekeep);
}

void SettingDlg::onafterformatclicked() {
    // The stored flag decides, not the box: the box follows the flag.
    mWork.after_format = mWork.after_format != 0 ? 0 : 1;
    ui->after_format->setChecked(mWork.after_format != 0);
}

// A click on a test-block or a test-range button re-reads both groups.
void SettingDlg::onBlockClicked() {
    LOGD("testBlock %d\n\r", mWork.test_block);
    if (const auto block = testBlockIds().forId(mTestBlockGroup->checkedId()))
        mWork.test_block = *block;
    const int range = mTestRangeGroup->checkedId();
    mWork.testSizeMode = range >= 0 && range <= 2 ? range : 0;
    LOGD("testBlock %d test size %d\n\r", mWork.test_block, mWork.testSizeMode);
}

void SettingDlg::oncapfiltclicked() {
    mWork.testSizeReg = testSizeRegForIndex(ui->comboBox_test_number->currentIndex());
}

void SettingDlg::onpreformatclicked() {}

void SettingDlg::on_buttonBox_accepted() {
    mWork.testSizePercent = ui->spinBox->value();
    mWork.write_speed = ui->spinBox_2->value();
    mWork.read_speed = ui->spinBox_3->value();
    mWork.testSizeM = ui->spinBox_test_m->value();
    mWork.language = ui->language->currentIndex();
    mWork.createMBR = ui->create_mbr->isChecked() ? 1 : 0;
    mWork.MASTERCLEAR = ui->master_reset->isChecked() ? 1 : 0;
    mWork.copy_block = copyBlockForIndex(ui->copy_block_size->currentIndex());
    mWork.COPYTIMECOUNT = copyTimeCountForIndex(ui->copy_time_count->currentIndex());
    oncapfiltclicked();
    LOGD("copyBlock %d test_m %d\n\r", mWork.copy_block, mWork.testSizeM);

    mWork.capfil_test_enable = ui->test_capfil_en->isChecked() ? 1 : 0;
    mWork.capfil_format_enable = ui->format_capfil_en->isChecked() ? 1 : 0;

    switchLanguage(mSetting.language, mWork.language);

    commitSetting(mWork);
    LOGD("mode %d cap %d err %d %d\n\r", mWork.mode, mWork.copy_cap, mWork.copy_err,
         mWork.copy_block);
    LOGD("button accepted\n\r");

    writeSetting();
    if (mWork.MASTERCLEAR == 1)
        dialogCommands().masterClear();
    accept();
}

void SettingDlg::on_buttonBox_rejected() {
    LOGD("reject\n\r");
    reject();
}

void SettingDlg::onExportLogClicked() {}

#include "dialogs/settingdlg.h"

#include "base/log_file.h"
#include "copier/copier_logic.h"
#include "dialogs/capacity_grading.h"
#include "dialogs/dialog_commands.h"
#include "dialogs/dialog_support.h"
#include "dialogs/language_switch.h"
#include "dialogs/log_export.h"
#include "dialogs/setting_values.h"
#include "settings/settings.h"
#include "ui_settingdlg.h"

#include <QButtonGroup>

using namespace dialogs;

namespace {

// A click on any button of a group.
const auto kButtonClicked = qOverload<QAbstractButton*>(&QButtonGroup::buttonClicked);

enum Page { CopyPage, TestPage, FormatPage, NoPage };

// The page each work mode belongs to; modes the dialog does not know keep the page shown.
Page pageForMode(int mode) {
    if (copier::isCopyMode(mode))
        return CopyPage;
    switch (mode) {
    case 0:
    case 2:
    case 11:
        return TestPage;
    case 1:
        return FormatPage;
    default:
        return NoPage;
    }
}

} // namespace

SettingDlg::SettingDlg(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::SettingDlg>()) {
    ui->setupUi(this);

    mFormatGroup = makeGroup(this, {{ui->formatkeep, 0},
                                    {ui->formatauto, 1},
                                    {ui->formatfat16, 2},
                                    {ui->formatfat32, 3},
                                    {ui->formatfat64, 4},
                                    {ui->formatfat32_2, 5}});
    mModeGroup = makeGroup(this, {{ui->testmode, 0},
                                  {ui->formatmode, 1},
                                  {ui->h5testmode, 2},
                                  {ui->fullcopycompare, 3},
                                  {ui->fullcopy, 4},
                                  {ui->datacopycompare, 5},
                                  {ui->datacopy, 6},
                                  {ui->fullcompare, 12},
                                  {ui->datacompare, 13}});
    showLanguages(ui->language, mSetting.language);

    fillCombo(ui->copy_block_size, copyBlockSizes().texts);
    fillCombo(ui->comboBox_test_number, testSizePresets().texts);
    fillCombo(ui->comboBox_volume, {tr("无"), tr("保留卷标"), tr("拷贝卷标")});
    fillCombo(ui->copy_time_count, copyTimeCounts().texts);
    mTestBlockGroup = makeGroup(this, {{ui->test_4k, 0},
                                       {ui->test_64k, 1},
                                       {ui->test_2m, 5},
                                       {ui->test_autoblk, kTestBlockAutoId}});
    mTestRangeGroup =
        makeGroup(this, {{ui->test_percent, 0}, {ui->test_m, 1}, {ui->test_regular, 2}});

    connect(mModeGroup, kButtonClicked, this, &SettingDlg::onmodeclicked);
    connect(ui->comboBox_volume, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &SettingDlg::on_keepvol_clicked);
    connect(mFormatGroup, kButtonClicked, this, &SettingDlg::onformatclicked);
    connect(mTestBlockGroup, kButtonClicked, this, &SettingDlg::onBlockClicked);
    connect(mTestRangeGroup, kButtonClicked, this, &SettingDlg::onBlockClicked);
    mCopyCapGroup = makeGroup(this, {{ui->copycap00, 6},
                                     {ui->copycap0, 0},
                                     {ui->copycap5, 1},
                                     {ui->copycap10, 2},
                                     {ui->copycap15, 3},
                                     {ui->copycap20, 4},
                                     {ui->copycap30, 5}});
    connect(mCopyCapGroup, kButtonClicked, this, &SettingDlg::onCopyCapClicked);

    mWork = snapshotSetting();
    LOGD("speed %d formattype %d  mode %d need %d\n\r", mWork.write_speed, mWork.format_type,
         mWork.mode, mWork.need_format);
    LOGD("cap %d err %d\n\r", mWork.copy_cap, mWork.copy_err);

    loadControls();
}

SettingDlg::~SettingDlg() = default;

void SettingDlg::loadControls() {
    connect(ui->export_log, &QPushButton::clicked, this, &SettingDlg::onExportLogClicked);
    ui->after_format->setChecked(mWork.after_format != 0);
    connect(ui->after_format, &QCheckBox::clicked, this, &SettingDlg::onafterformatclicked);

    const int vol = mWork.volumekeep;
    ui->comboBox_volume->setCurrentIndex(vol == 1 || vol == 2 ? vol : 0);

    checkId(mFormatGroup, mWork.format_type);
    checkId(mModeGroup, mWork.mode);
    if (mWork.mode == 1)
        LOGD("format mode\n\r");

    checkId(mCopyCapGroup, copyCapIds().idFor(mWork.copy_cap));

    // Anything but the three fixed sizes shows as automatic.
    const int blockId = testBlockIds().idFor(mWork.test_block);
    checkId(mTestBlockGroup, blockId < 0 ? kTestBlockAutoId : blockId);
    checkId(mTestRangeGroup, mWork.testSizeMode);

    ui->comboBox_test_number->setCurrentIndex(testSizeRegIndex(mWork.testSizeReg));
    ui->copy_block_size->setCurrentIndex(copyBlockIndex(mWork.copy_block));

    ui->after_format->setChecked(mWork.after_format != 0);
    ui->create_mbr->setChecked(mWork.createMBR != 0);
    ui->master_reset->setChecked(mWork.MASTERCLEAR != 0);

    ui->spinBox->setValue(mWork.testSizePercent);
    ui->spinBox_2->setValue(mWork.write_speed);
    ui->spinBox_3->setValue(mWork.read_speed);
    ui->spinBox_test_m->setValue(mWork.testSizeM);

    showPageOf(mWork.mode);

    ui->copy_time_count->setCurrentIndex(copyTimeCountIndex(mWork.COPYTIMECOUNT));

    ui->gradingPage->load(&mWork, ui->test_capfil_en, ui->format_capfil_en);
}

bool SettingDlg::showPageOf(int mode) {
    QWidget* page = nullptr;
    switch (pageForMode(mode)) {
    case TestPage:
        page = ui->tab_h2;
        break;
    case CopyPage:
        page = ui->tab_copy;
        break;
    case FormatPage:
        page = ui->tab_format;
        break;
    case NoPage:
        return false;
    }
    ui->tabCopy->setCurrentWidget(page);
    return true;
}

void SettingDlg::onmodeclicked() {
    const int id = mModeGroup->checkedId();
    if (showPageOf(id))
        mWork.mode = id;
}

void SettingDlg::onformatclicked() {
    storeCheckedId(mWork.format_type, mFormatGroup);
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
    flipFlag(mWork.after_format, ui->after_format);
}

// A click on a test-block or a test-range button re-reads both groups.
void SettingDlg::onBlockClicked() {
    LOGD("testBlock %d\n\r", mWork.test_block);
    if (const auto block = testBlockIds().forId(mTestBlockGroup->checkedId()))
        mWork.test_block = *block;
    mWork.testSizeMode = checkedIdOr(mTestRangeGroup, 0);
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

    ui->gradingPage->store(mWork);

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

void SettingDlg::onExportLogClicked() {
    LogExport::start(this);
}

#include "burnin/framebn.h"

#include "base/log_file.h"
#include "base/percent.h"
#include "base/size_text.h"
#include "copier/port_cover.h"
#include "forms/form_language.h"
#include "forms/widget_updates.h"
#include "settings/setting_record.h"
#include "ui_framebn.h"

#include <QLabel>

using namespace burnin;

namespace {
const QString kBlack = QStringLiteral("color:black;");
const QString kRedText = QStringLiteral("color:red;");

QString speedText(float bytesPerSecond) {
    return getUnitAndValueString(double(bytesPerSecond)) + QStringLiteral("/s");
}

// A SMART counter, marked red when the disk reported any.
void showSmart(QLabel* label, const char* name, uint64_t value) {
    label->setText(QString::fromLatin1(name) + QString::number(value));
    if (value != 0)
        restyle(label, kRedText);
}
} // namespace

FrameBn::FrameBn(QWidget* parent, int portCount, int machineVariant)
    : QFrame(parent), ui(new Ui::FrameBn) {
    ui->setupUi(this);
    followLanguage(this, [this] { ui->retranslateUi(this); });
    // The colour of the port is the frame's own background, painted from its style sheet.
    makeOpaque(this);
    setFormFont(this, 6, {});
    const PortCover cover = coverFrame(
        this, burninCover(portCount, machineVariant),
        QStringLiteral("color:rgba(0, 0, 0, 200);font-size:16px;text-align:left;"), kWhite);
    setCover(cover);
    // Empty until a tick finds a disk: the bar shows with the figures.
    ui->progressBar->hide();
    if (portCount == 80)
        LOGD("80 port\n\r");
}

FrameBn::~FrameBn() = default;

void FrameBn::paintEvent(QPaintEvent* event) {
    paintOwnBackground(this);
    QFrame::paintEvent(event);
}

void FrameBn::setNumber(int number) {
    ui->label_no->setText(QString::number(number));
}

void FrameBn::uncover() {
    if (!mMask->isHidden())
        hidePortCover(mMask, mTitle);
}

void FrameBn::setFrameStyle(const char* style) {
    restyle(this, QString::fromLatin1(style));
}

Counter FrameBn::update(const StatusBlock& block, const SettingRecord& setting) {
    const BurninPortRecord record = block.burninPort(mPort);
    switch (record.bnStatus) {
    case StatusEmpty:
        ui->progressBar->hide();
        showPortCover(mMask, mTitle, kWhite);
        break;
    case StatusReady:
        showReady();
        break;
    case StatusWriting:
    case StatusVerifying:
        showPass(record, setting);
        break;
    case StatusStoppedWithErrors:
    case StatusWriteStopped:
    case StatusPassed:
    case StatusComplete:
        showResult(record, setting);
        break;
    default:
        break;
    }
    return statusCounter(record.bnStatus);
}

void FrameBn::showReady() {
    uncover();
    ui->progressBar->hide();
    ui->error->setText(tr("错误：0"));
    ui->smart->clear();
    ui->progress_cycle->setValue(0);
    ui->readContent->setText(tr("验证"));
    ui->writeContent->setText(tr("写入"));
    ui->progressBar->setValue(0);
    ui->speed->setText(QStringLiteral("当前速度"));
    ui->time->setText(QStringLiteral("时间"));
    ui->testRequiredTime->setText(tr("测试时间"));
    for (QLabel* label : {ui->status, ui->speed, ui->readContent})
        restyle(label, kBlack);
    setFrameStyle(kWhite);
}

void FrameBn::showPass(const BurninPortRecord& record, const SettingRecord& setting) {
    const bool writing = record.bnStatus == StatusWriting;
    uncover();
    ui->progressBar->show();
    ui->status->setText(
        passText(record.bnPass, setting.burnin_cycle, writing ? tr(" 写入") : tr(" 校验")));
    const uint64_t errors = errorSum(record);
    setFrameStyle(portLook(record).style);
    ui->error->setText(tr("错误:") + QString::number(errors));
    // While verifying, a write error is named untranslated.
    const char* kind = firstErrorKindText(record.firstErrorKind);
    ui->smart->setText(!writing && record.firstErrorKind == 1 ? QString::fromUtf8(kind) : tr(kind));
    ui->progress_cycle->setValue(clampPercent(record.bnProgress));
    if (writing && record.bnPassGate != 0)
        ui->progressBar->setValue(passProgress(record.bnWrittenBytes, record.bnCapacityBytes));
    ui->speed->setText(speedText(record.bnSpeed));
    ui->readContent->setText(QStringLiteral("V:") +
                             getUnitAndValueString2(double(record.bnVerifiedBytes)));
    ui->writeContent->setText(QStringLiteral("W:") +
                              getUnitAndValueString2(double(record.bnWrittenBytes)));
    if (writing) {
        for (QLabel* label : {ui->status, ui->speed, ui->readContent})
            restyle(label, kBlack);
    }
    if (record.bnElapsedSec >= 1)
        ui->time->setText(timeText(record.bnElapsedSec));
    const int hours = setting.burnin_time;
    ui->testRequiredTime->setText(hours != 0 ? remainingText(hours, record.bnElapsedSec)
                                             : QStringLiteral("剩余时间:"));
}

void FrameBn::showResult(const BurninPortRecord& record, const SettingRecord& setting) {
    const uint32_t status = record.bnStatus;
    const bool failed = status == StatusStoppedWithErrors || status == StatusWriteStopped;
    uncover();
    ui->progressBar->show();
    setFrameStyle(portLook(record).style);
    ui->error->setText(failed ? tr("错误:") + QString::number(errorSum(record))
                              : tr("没有发现问题"));
    const int pass = passProgress(record.bnWrittenBytes, record.bnCapacityBytes);
    if (status == StatusStoppedWithErrors) {
        ui->smart->setText(tr(firstErrorKindText(record.firstErrorKind)));
        ui->progress_cycle->setValue(clampPercent(record.bnProgress));
        if (record.bnPassGate != 0)
            ui->progressBar->setValue(pass);
    } else if (status == StatusWriteStopped) {
        ui->smart->setText(tr("写错误:"));
    } else {
        ui->progress_cycle->setValue(100);
        if (status == StatusComplete)
            ui->progressBar->setValue(pass);
    }
    if (setting.machine_variant == kSmartVariant) {
        showSmart(ui->speed, "05: ", record.smart05);
        showSmart(ui->status, "C3: ", record.smartC3);
        showSmart(ui->readContent, "C5: ", record.smartC5);
        ui->writeContent->setText(getUnitAndValueString2(double(record.bnCapacityBytes)));
    } else {
        ui->speed->setText(speedText(record.bnSpeed));
        if (status == StatusComplete)
            ui->status->setText(tr("测试完成"));
        ui->readContent->setText(tr("校验:") +
                                 getUnitAndValueString(double(record.bnVerifiedBytes)));
        ui->writeContent->setText(tr("写入:") +
                                  getUnitAndValueString(double(record.bnWrittenBytes)));
    }
    if ((status == StatusStoppedWithErrors || status == StatusComplete) && record.bnElapsedSec >= 1)
        ui->time->setText(timeText(record.bnElapsedSec));
}

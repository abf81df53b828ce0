#include "copier/frame_dst.h"

#include "base/log_file.h"
#include "base/size_text.h"
#include "copier/port_cover.h"
#include "forms/form_language.h"
#include "forms/widget_updates.h"
#include "settings/setting_record.h"
#include "ui_frame_dst.h"

#include <QEvent>
#include <QLabel>

using namespace copier;

namespace {
QString sizeText(double bytes) {
    return getUnitAndValueString(bytes);
}
} // namespace

Frame_dst::Frame_dst(QWidget* parent, int portCount)
    : QWidget(parent), ui(new Ui::Frame_dst), mPortCount(portCount) {
    ui->setupUi(this);
    followLanguage(this, [this] { ui->retranslateUi(this); });
    // The colour of the port is the frame's own background, painted from its style sheet.
    makeOpaque(this);
    setCopierFrameFonts(this, ui->gridLayout, portCount, {ui->label_4_3, ui->progressBar});
    const PortCover cover =
        coverFrame(this, targetCover(portCount), coverTitleStyle(portCount), kGrey);
    setCover(cover);
    // Empty until a tick finds a disk: the bar shows with the figures.
    ui->progressBar->hide();
}

Frame_dst::~Frame_dst() = default;

void Frame_dst::paintEvent(QPaintEvent* event) {
    paintOwnBackground(this);
    QWidget::paintEvent(event);
}

void Frame_dst::setNumber(const QString& number) {
    ui->label_no->setText(number);
}

void Frame_dst::showEmpty() {
    // Also while the cover is up from the start: the frame around it takes the cover's grey.
    setBackground(kGrey);
    if (!mMask->isHidden())
        return;
    ui->progressBar->hide();
    showPortCover(mMask, mTitle, kGrey);
}

Counter Frame_dst::update(const StatusBlock& block, const SettingRecord& setting) {
    const CopierPortRecord record = block.copierPort(mPort);
    const uint64_t jobBytes = block.copierJob().jobBytes;
    const uint32_t connect = record.connectState;
    const uint32_t status = record.portStatus;

    if (targetIsEmpty(connect, status, mPortCount)) {
        if (mLastConnect != 0) {
            mLastConnect = 0;
            LOGD("port %d disconnect\n\r", mPort);
        }
        showEmpty();
        return Counter::None;
    }
    if (int(connect) != mLastConnect) {
        mLastConnect = int(connect);
        // A new disk is painted again when it finishes, even in the status of the last one.
        mLastStatus = 0;
        LOGD("port %d connect\n\r", mPort);
    }
    if (status == 0 || status == kConnectGone) {
        showEmpty();
        return Counter::None;
    }

    if (!mMask->isHidden())
        hidePortCover(mMask, mTitle);
    ui->progressBar->show();
    ui->dataCloned->setText(record.copiedBytes
                                ? QStringLiteral(" ") + sizeText(double(record.copiedBytes))
                                : QString());
    ui->write_speed->setText(record.writeSpeed > 1.0f
                                 ? QStringLiteral(" ") + sizeText(double(record.writeSpeed)) +
                                       QStringLiteral("/s")
                                 : QString());
    ui->capacity->setText(sizeText(double(record.capacityBytes)));
    const int mode = setting.mode;
    if (isCompareOnly(mode)) {
        ui->progressBar->setValue(compareProgress(record.comparedBytes, jobBytes));
        ui->label_3_2->setText(tr(" 比对 "));
        ui->measure_time_wr_ms->setText(QStringLiteral(" "));
    } else {
        ui->measure_time_wr_ms->setText(writeTimeText(record.writeTimeMs));
        // One or two passes by the mode alone; the job area's flag is the master's business.
        ui->progressBar->setValue(
            copyProgress(record.copiedBytes, record.comparedBytes, jobBytes, isTwoPassMode(mode)));
        if (jobBytes != 0)
            ui->label_3_2->setText(tr(" 拷贝 "));
    }
    ui->copySize->setText(sizeText(double(jobBytes)));
    ui->dataCompared->setText(record.comparedBytes ? sizeText(double(record.comparedBytes))
                                                   : QString());
    ui->measure_time_rd_ms->setText(readTimeText(record.readTimeMs));
    ui->read_speed->setText(record.readSpeed > 1.0f
                                ? sizeText(double(record.readSpeed)) + QStringLiteral("/s")
                                : QString());

    const TargetStatusRow* row = targetStatusRow(status);
    paintStatus(row, status);
    if (row && status == 6)
        ui->progressBar->setValue(100);
    return targetCounter(record, mPortCount);
}

void Frame_dst::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        mRetranslated = true;
    QWidget::changeEvent(event);
}

void Frame_dst::paintStatus(const TargetStatusRow* row, uint32_t status) {
    const bool changed = int(status) != mLastStatus;
    // Remembering every status, unknown ones too, lets a finished state that comes back
    // after an unknown one be painted again.
    mLastStatus = int(status);
    if (!row) {
        ui->label_status->setText(tr("状态未知"));
        setBackground(kGrey);
        LOGE("num %d Error to here %d\n\r", mPort, int(status));
        return;
    }
    if (changed)
        LOGD("%s\n\r", qPrintable(QString::asprintf(row->log, mPort)));
    if (row->paintOnChange && !changed && !mRetranslated)
        return;
    mRetranslated = false;
    ui->label_status->setText(tr(row->text));
    setBackground(row->style);
}

void Frame_dst::setBackground(const char* style) {
    restyle(this, QString::fromLatin1(style));
}

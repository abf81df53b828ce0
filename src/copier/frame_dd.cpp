#include "copier/frame_dd.h"

#include "base/log_file.h"
#include "base/size_text.h"
#include "copier/port_cover.h"
#include "forms/form_language.h"
#include "forms/widget_updates.h"
#include "settings/setting_record.h"
#include "ui_frame_dd.h"

#include <QLabel>

using namespace copier;

Frame_dd::Frame_dd(QWidget* parent, int portCount)
    : QWidget(parent), ui(new Ui::Frame_dd), mPortCount(portCount) {
    ui->setupUi(this);
    followLanguage(this, [this] { ui->retranslateUi(this); });
    // The colour of the port is the frame's own background, painted from its style sheet.
    makeOpaque(this);
    setCopierFrameFonts(this, ui->gridLayout, portCount,
                        {ui->copyData, ui->label_4_3, ui->progressBar});
    const PortCover cover =
        coverFrame(this, masterCover(portCount), coverTitleStyle(portCount), kGrey);
    setCover(cover);
    // Empty until a tick finds a disk: the bar shows with the figures.
    ui->progressBar->hide();
}

Frame_dd::~Frame_dd() = default;

void Frame_dd::paintEvent(QPaintEvent* event) {
    paintOwnBackground(this);
    QWidget::paintEvent(event);
}

void Frame_dd::setNumber(const QString& number) {
    ui->label_no->setText(number);
}

void Frame_dd::update(const StatusBlock& block, const SettingRecord& setting) {
    const uint32_t connect = block.copierPort(mPort).connectState;
    if (connect == kConnectPresent) {
        showPresent(block, setting.mode);
        return;
    }
    if (connect != kConnectNone && connect != kConnectGone) {
        LOGE("Error disk connect state %d\n\r", int(connect));
        return;
    }
    if (int(connect) != mLastConnect) {
        mLastConnect = int(connect);
        LOGD("port %d disconnect\n\r", mPort);
    }
    // The small SSD copiers keep the last job on screen while the master is out.
    if (setting.machine_variant == 3 && mPortCount < 9) {
        LOGD("port0 disconnect ,won't change\n\r");
        return;
    }
    ui->progressBar->hide();
    showPortCover(mMask, mTitle, kMasterBlue);
    restyle(this, QString::fromLatin1(kMasterBlue));
}

void Frame_dd::showPresent(const StatusBlock& block, int mode) {
    const CopierPortRecord record = block.copierPort(mPort);
    const CopierJobArea job = block.copierJob();
    restyle(this, QString::fromLatin1(kMasterBlue));
    if (int(record.connectState) != mLastConnect) {
        mLastConnect = int(record.connectState);
        LOGD("port %d connect\n\r", mPort);
    }
    if (!mMask->isHidden())
        hidePortCover(mMask, mTitle);
    ui->dataCloned->setText(QStringLiteral(" ") +
                            getUnitAndValueString(double(record.copiedBytes)));
    ui->capacity->setText(getUnitAndValueString(double(record.capacityBytes)));
    if (!isCompareOnly(mode)) {
        if (record.copiedBytes != 0 && job.jobBytes != 0) {
            const bool twoPass = job.twoPass != 0 || isTwoPassMode(mode);
            ui->progressBar->setValue(
                copyProgress(record.copiedBytes, record.comparedBytes, job.jobBytes, twoPass));
            ui->label_3_2->setText(tr(" 拷贝 "));
        } else {
            ui->progressBar->setValue(0);
        }
    } else if (record.comparedBytes != 0 && job.jobBytes != 0) {
        ui->progressBar->setValue(compareProgress(record.comparedBytes, job.jobBytes));
        ui->label_3_2->setText(QStringLiteral(" 比对 "));
    }
    ui->progressBar->show();
    ui->copySize->setText(getUnitAndValueString(double(job.jobBytes)));
    ui->dataCompared->setText(getUnitAndValueString(double(record.comparedBytes)));
    showStatus(record.portStatus, job.prepCounter);
}

void Frame_dd::showStatus(uint32_t status, uint32_t prepCounter) {
    const MasterStatusRow* row = masterStatusRow(status);
    if (!row) {
        ui->label_status->setText(tr("  状态未知"));
        LOGE("Error to here %d\n\r", int(status));
        mLastStatus = int(status);
        return;
    }
    if (int(status) != mLastStatus) {
        mLastStatus = int(status);
        if (row->log && row->logAsError)
            LOGE("%s\n\r", qPrintable(QString::asprintf(row->log, int(status))));
        else if (row->log)
            LOGD("%s\n\r", qPrintable(QString::asprintf(row->log, mPort)));
    }
    if (row->text) {
        QString text = tr(row->text);
        if (row->preparing && !numbersTargetsFromOne(mPortCount))
            text += QString::number(prepCounter);
        ui->label_status->setText(text);
    }
    if (row->full)
        ui->progressBar->setValue(100);
}

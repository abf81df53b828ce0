#include "tester/frame.h"

#include "base/log_file.h"
#include "copier/port_cover.h"
#include "forms/form_language.h"
#include "forms/widget_updates.h"
#include "link/status_block.h"
#include "settings/settings.h"
#include "ui_frame.h"

#include <QLabel>
#include <QTimer>

using namespace tester;

Frame::Frame(QWidget* parent, int portCount, int machineVariant)
    : QFrame(parent), ui(new Ui::Frame), mPortCount(portCount) {
    ui->setupUi(this);
    followLanguage(this, [this] { ui->retranslateUi(this); });
    const CoverGeometry g = coverGeometry(portCount, machineVariant);
    if (g.frameFixed)
        setFixedSize(g.cover);
    // The forms without a cover size of their own (the general one) take the frame's size.
    const bool own = !g.followFrameHeight;
    setCover(makePortCover(this, own ? g.cover : QSize(), own ? g.title : QSize(),
                           titleStyle(portCount)));
    // The tester's titles break only at their own line ends.
    mTitle->setWordWrap(false);
    mMask->setStyleSheet(kGrey);
    // The narrowest frames (121 ports, 126 pixels) need the form's side margins for text:
    // a finished write line is about 120 pixels wide at their font.
    if (g.cover.width() < 130) {
        ui->verticalLayout->setContentsMargins(1, 2, 1, 2);
        ui->gridLayout->setContentsMargins(1, 2, 0, 0);
    }
    mMask->raise(); // above the form's labels
    makeOpaque(this);
}

Frame::~Frame() = default;

void Frame::paintEvent(QPaintEvent* event) {
    paintOwnBackground(this);
    QFrame::paintEvent(event);
}

void Frame::go(int port) {
    mPort = port;
    mState = 0;
    mLastState = 0;
    const int points = frameFontPointSize(mPortCount);
    for (QWidget* w :
         {static_cast<QWidget*>(ui->label_status), static_cast<QWidget*>(ui->label_1_1),
          static_cast<QWidget*>(ui->label_1_2), static_cast<QWidget*>(ui->label_1_3),
          static_cast<QWidget*>(ui->label), static_cast<QWidget*>(ui->progressBar),
          static_cast<QWidget*>(ui->label_no)}) {
        QFont font = w->font();
        font.setPointSize(points);
        w->setFont(font);
    }
    // The format result paints this line red; a new run starts in the normal colour.
    ui->label_1_3->setPalette(QPalette());
}

Outcome Frame::update(const StatusBlock& block, const SettingRecord& setting) {
    const FrameDraw draw = tester::drawFrame(mPort, block.testerPort(mPort), setting, mLastState);
    if (draw.untouched)
        return Outcome::None;
    mState = draw.state;
    if (!draw.skipped)
        apply(draw);
    mLastState = mState;
    return draw.outcome;
}

void Frame::apply(const FrameDraw& d) {
    if (d.cover == Cover::Hide && !mMask->isHidden()) {
        mMask->hide();
        mTitle->hide();
    } else if (d.cover == Cover::Show && mMask->isHidden()) {
        mMask->setStyleSheet(kGrey);
        mMask->show();
        mTitle->show();
        ui->progressBar->hide();
        if (d.clearFirstLineIfCovered)
            ui->label->clear();
    }
    if (d.bar == Bar::Show)
        ui->progressBar->show();
    else if (d.bar == Bar::Hide)
        ui->progressBar->hide();
    if (d.barValue) {
        // A progress bar repaints itself at once when its value changes; a tick redraws
        // every port, so the bar is painted with the rest of the window instead.
        ui->progressBar->setUpdatesEnabled(false);
        ui->progressBar->setValue(*d.barValue);
        ui->progressBar->setUpdatesEnabled(true);
    }
    if (d.style)
        setBackground(*d.style);
    if (d.line)
        ui->label->setText(*d.line);
    if (d.line1)
        ui->label_1_1->setText(*d.line1);
    if (d.line2)
        ui->label_1_2->setText(*d.line2);
    if (d.line3)
        ui->label_1_3->setText(*d.line3);
    if (d.line3Red) {
        QPalette palette = ui->label_1_3->palette();
        palette.setColor(QPalette::All, QPalette::WindowText, Qt::red);
        ui->label_1_3->setPalette(palette);
    }
    if (d.status)
        ui->label_status->setText(*d.status);
    if (d.writeSpeed)
        mWriteSpeed = *d.writeSpeed;
    if (d.strangeFsType)
        LOGD("strange here %d\n\r", int(*d.strangeFsType));
}

void Frame::setBackground(const QString& style) {
    restyle(this, style);
}

void Frame::start() {
    if (mTimer)
        mTimer->start(1000);
}

void Frame::stop() {
    if (mTimer)
        mTimer->stop();
}

void Frame::finish() {
    StatusBlock block;
    Info.snapshot(block);
    update(block, mSetting);
    stop();
}

void Frame::setNumber(int number) {
    ui->label_no->setText(QString::number(number));
}

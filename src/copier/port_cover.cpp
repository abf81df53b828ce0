#include "copier/port_cover.h"

#include "forms/widget_updates.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QResizeEvent>
#include <algorithm>

namespace {

// Fits the cover to its frame whenever the frame is laid out: the mask never leaves a strip
// of the frame beside it, and the title never reaches past the frame, so that it stays whole
// and centred where the form's sizes are made for another grid. An empty size is the frame's.
class FollowFrame final : public QObject {
public:
    FollowFrame(QWidget* frame, QLabel* mask, QSize maskSize, QLabel* title, QSize titleSize)
        : QObject(frame), mFrame(frame), mMask(mask), mTitle(title), mMaskSize(maskSize),
          mTitleSize(titleSize) {
        follow(frame->size());
        frame->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == mFrame && event->type() == QEvent::Resize)
            follow(static_cast<QResizeEvent*>(event)->size());
        return false;
    }

private:
    void follow(QSize frame) {
        mMask->setFixedSize(mMaskSize.isEmpty() ? frame : mMaskSize.expandedTo(frame));
        mTitle->setFixedSize(mTitleSize.isEmpty() ? frame : mTitleSize.boundedTo(frame));
    }

    QWidget* mFrame;
    QLabel* mMask;
    QLabel* mTitle;
    const QSize mMaskSize;
    const QSize mTitleSize;
};

} // namespace

void CoveredPort::setTitle(const QString& title) {
    mTitle->setText(title);
}

QString CoveredPort::title() const {
    return mTitle->text();
}

bool CoveredPort::covered() const {
    return !mMask->isHidden();
}

PortCover makePortCover(QWidget* frame, QSize maskSize, QSize titleSize,
                        const QString& titleStyle) {
    PortCover cover;
    cover.mask = new QLabel(frame);
    // The title is a child of the mask so that it takes the mask's colour, not the frame's.
    cover.title = new QLabel(cover.mask);
    cover.mask->setEnabled(false);
    cover.mask->setAlignment(Qt::AlignCenter);
    cover.title->setAttribute(Qt::WA_TranslucentBackground);
    cover.title->setAlignment(Qt::AlignCenter);
    // A long mode name breaks at its blanks rather than run past the narrow frames.
    cover.title->setWordWrap(true);
    cover.title->setStyleSheet(titleStyle);
    new FollowFrame(frame, cover.mask, maskSize, cover.title, titleSize);
    return cover;
}

PortCover coverFrame(QWidget* frame, const copier::CoverSizes& sizes, const QString& titleStyle,
                     const char* maskStyle) {
    if (!sizes.frame.isEmpty())
        frame->setFixedSize(sizes.frame);
    const PortCover cover = makePortCover(frame, sizes.mask, sizes.title, titleStyle);
    cover.mask->setStyleSheet(QString::fromLatin1(maskStyle));
    return cover;
}

void showPortCover(QLabel* mask, QLabel* title, const char* maskStyle) {
    restyle(mask, QString::fromLatin1(maskStyle));
    mask->raise();
    mask->show();
    title->show();
}

void hidePortCover(QLabel* mask, QLabel* title) {
    mask->hide();
    title->hide();
}

void setFormFont(QWidget* frame, int points, std::initializer_list<const QWidget*> keep) {
    for (QWidget* w : frame->findChildren<QWidget*>()) {
        if (!qobject_cast<QLabel*>(w) && !qobject_cast<QProgressBar*>(w))
            continue;
        if (std::find(keep.begin(), keep.end(), w) != keep.end())
            continue;
        QFont font = w->font();
        font.setPointSize(points);
        w->setFont(font);
    }
}

void setCopierFrameFonts(QWidget* frame, QGridLayout* grid, int portCount,
                         std::initializer_list<const QWidget*> keepSmall) {
    const bool compact = copier::compactFrames(portCount);
    setFormFont(frame, compact ? 6 : 8, {});
    if (compact) {
        grid->setContentsMargins(2, 0, 2, 0);
        grid->setVerticalSpacing(0);
    }
    // Small machines have room for large figures.
    if (portCount < 9)
        setFormFont(frame, 20, keepSmall);
}

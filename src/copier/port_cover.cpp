#include "copier/port_cover.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QResizeEvent>
#include <algorithm>

namespace {

// Keeps the labels of an empty size as large as their frame.
class FollowFrame final : public QObject {
public:
    FollowFrame(QWidget* frame, QLabel* mask, QLabel* title)
        : QObject(frame), mFrame(frame), mMask(mask), mTitle(title) {
        follow(frame->size());
        frame->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == mFrame && event->type() == QEvent::Resize)
            follow(static_cast<QResizeEvent*>(event)->size());
        return false;
    }

private:
    void follow(QSize size) {
        if (mMask)
            mMask->setFixedSize(size);
        if (mTitle)
            mTitle->setFixedSize(size);
    }

    QWidget* mFrame;
    QLabel* mMask;
    QLabel* mTitle;
};

} // namespace

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
    cover.title->setStyleSheet(titleStyle);
    if (!maskSize.isEmpty())
        cover.mask->setFixedSize(maskSize);
    if (!titleSize.isEmpty())
        cover.title->setFixedSize(titleSize);
    if (maskSize.isEmpty() || titleSize.isEmpty())
        new FollowFrame(frame, maskSize.isEmpty() ? cover.mask : nullptr,
                        titleSize.isEmpty() ? cover.title : nullptr);
    return cover;
}

void showPortCover(QLabel* mask, QLabel* title, const char* maskStyle) {
    const QString style = QString::fromLatin1(maskStyle);
    if (mask->styleSheet() != style)
        mask->setStyleSheet(style);
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

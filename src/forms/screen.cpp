#include "forms/screen.h"

#include "base/log_file.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

void showMainWindow(QWidget* window, h2::ShowAs how) {
    if (!window)
        return;
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        window->setGeometry(0, 0, kScreenWidth, kScreenHeight);
        window->show();
        return;
    }
    if (how == h2::ShowAs::FullScreen)
        window->showFullScreen();
    else
        window->showMaximized();
}

bool grabScreen(const QString& file) {
    QWidget* main = nullptr;
    QList<QWidget*> onTop;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible())
            continue;
        if (qobject_cast<QDialog*>(w) || w->windowType() == Qt::Dialog)
            onTop << w;
        else if (!main || w->width() * w->height() > main->width() * main->height())
            main = w;
    }
    QPixmap picture;
    QPoint origin;
    if (main) {
        picture = main->grab();
        origin = main->geometry().topLeft();
    } else {
        picture = QPixmap(kScreenWidth, kScreenHeight);
        picture.fill(Qt::black);
    }
    QPainter painter(&picture);
    for (QWidget* dialog : onTop) {
        QPoint at = dialog->geometry().topLeft() - origin;
        // A dialog never placed by a window manager sits at 0,0: centre it as the panel would.
        if (dialog->pos().isNull())
            at = QPoint((picture.width() - dialog->width()) / 2,
                        (picture.height() - dialog->height()) / 2);
        painter.drawPixmap(at, dialog->grab());
    }
    painter.end();
    const bool ok = picture.save(file, "PNG");
    LOGD("screenshot %s %s\n\r", file.toLocal8Bit().constData(), ok ? "written" : "failed");
    return ok;
}

#include "support/press_answer.h"

#include "support/dialog_bed.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

QString pressAndAnswer(QWidget& window, const std::function<void(QDialog&)>& answer) {
    QString seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(w);
            if (!dialog || !dialog->isVisible())
                continue;
            watch.stop();
            seen = QString::fromLatin1(dialog->metaObject()->className());
            answer(*dialog);
            // A dialog the answer left open would hang the press: close it.
            if (dialog->isVisible())
                dialog->reject();
            return;
        }
    });
    watch.start(10);
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(window.width() / 2, 5));
    watch.stop();
    return seen;
}

std::function<void(QDialog&)> chooseAndAccept(const char* modeButton) {
    const QString name = QString::fromLatin1(modeButton);
    return [name](QDialog& dialog) {
        if (!name.isEmpty()) {
            auto* button = dialog.findChild<QAbstractButton*>(name);
            if (!button)
                return; // left open: rejected, and the test sees no change
            clickBox(button);
        }
        pressOk(dialog);
    };
}

std::function<void(QDialog&)> cancel() {
    return [](QDialog& dialog) { pressCancel(dialog); };
}

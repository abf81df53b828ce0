#include "support/modal_answer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

std::shared_ptr<bool> answerModalNamed(const char* className, std::function<void(QWidget*)> action,
                                       int timeoutMs) {
    auto done = std::make_shared<bool>(false);
    auto* timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        if (clock->elapsed() > timeoutMs) {
            timer->deleteLater();
            return;
        }
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || !w->inherits(className))
                continue;
            timer->stop();
            timer->deleteLater();
            *done = true;
            action(w);
            return;
        }
    });
    timer->start(10);
    return done;
}

std::shared_ptr<bool> acceptMessageBox(QString* title, int timeoutMs) {
    return answerModal<QMessageBox>(
        [title](QMessageBox* box) {
            *title = box->windowTitle();
            box->accept();
        },
        timeoutMs);
}

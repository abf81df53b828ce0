#include "support/dialog_runner.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

int runDialog(QDialog& dialog, const std::function<void()>& actions) {
    QTimer::singleShot(0, &dialog, [&dialog, actions] {
        actions();
        if (dialog.isVisible())
            dialog.reject();
    });
    return dialog.exec();
}

void tap(QAbstractButton* button) {
    QVERIFY2(button, "no such button");
    // Turn to the tab page that holds the button first, as the operator has to.
    for (QWidget* w = button; w && w->parentWidget(); w = w->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget())) {
            if (tabs->indexOf(w) >= 0)
                tabs->setCurrentWidget(w);
        }
    }
    // Check and radio boxes answer on their indicator and text, not on the empty rest of
    // a stretched widget: aim at the indicator.
    const bool indicator = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
    const QPoint at = indicator ? QPoint(8, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

namespace {
QAbstractButton* boxButton(QDialog& dialog, QDialogButtonBox::StandardButton which) {
    auto* box = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    return box ? box->button(which) : nullptr;
}
} // namespace

void pressOk(QDialog& dialog) {
    tap(boxButton(dialog, QDialogButtonBox::Ok));
}

void pressCancel(QDialog& dialog) {
    tap(boxButton(dialog, QDialogButtonBox::Cancel));
}

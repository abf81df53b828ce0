#include "forms/widget_updates.h"

#include <QProgressBar>

void setBarValue(QProgressBar* bar, int value) {
    if (bar->value() == value)
        return;
    // Re-enabling updates schedules an ordinary update of the bar.
    bar->setUpdatesEnabled(false);
    bar->setValue(value);
    bar->setUpdatesEnabled(true);
}

void restyle(QWidget* widget, const QString& sheet) {
    if (widget->styleSheet() != sheet)
        widget->setStyleSheet(sheet);
}

#include "forms/widget_updates.h"

#include <QWidget>

void restyle(QWidget* widget, const QString& sheet) {
    if (widget->styleSheet() != sheet)
        widget->setStyleSheet(sheet);
}

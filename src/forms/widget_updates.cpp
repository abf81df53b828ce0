#include "forms/widget_updates.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

void makeOpaque(QWidget* frame) {
    frame->setAttribute(Qt::WA_StyledBackground);
    frame->setAttribute(Qt::WA_OpaquePaintEvent);
}

void paintOwnBackground(QWidget* frame) {
    // What Qt paints for a styled widget that is not opaque.
    QPainter painter(frame);
    QStyleOption option;
    option.initFrom(frame);
    frame->style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, frame);
}

void restyle(QWidget* widget, const QString& sheet) {
    if (widget->styleSheet() != sheet)
        widget->setStyleSheet(sheet);
}

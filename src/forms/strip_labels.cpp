#include "forms/strip_labels.h"

#include <QLabel>

QLabel* makeStripLabel(QWidget* strip, const QString& text, int points, bool bold, QRect at) {
    auto* label = new QLabel(strip);
    QFont font = label->font();
    font.setPointSize(points);
    if (bold)
        font.setWeight(QFont::Bold);
    label->setFont(font);
    label->setGeometry(at);
    label->setStyleSheet(QStringLiteral("background:#dad7d3"));
    label->setText(text);
    label->show();
    return label;
}

void addBrandLabels(QWidget* strip, QRect name, QRect line) {
    makeStripLabel(strip, QStringLiteral("Tervan拷贝机"), 16, true, name);
    makeStripLabel(strip, QStringLiteral("-KALMO技术-"), 10, false, line);
}

#pragma once
// Labels the main windows add to their status strips at run time.

#include <QRect>
#include <QString>

class QLabel;
class QWidget;

// A grey label on the strip, shown.
QLabel* makeStripLabel(QWidget* strip, const QString& text, int points, bool bold, QRect at);
// The brand at the right end of the strip: "Tervan拷贝机" over "-KALMO技术-".
void addBrandLabels(QWidget* strip, QRect name, QRect line);

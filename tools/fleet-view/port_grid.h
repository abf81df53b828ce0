#pragma once
// One cabinet's ports as a grid of cells coloured like the panel's frames, each with its
// port number and progress. Painted in one pass: a 121-port cabinet is 121 rectangles, not
// 121 widgets.

#include "fleet_messages.h"

#include <QWidget>

namespace fleet {

// Columns that give the largest cells for `count` cells of aspect 4:3 in `width` x `height`.
int gridColumns(int count, int width, int height);

class PortGrid : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    void setPorts(const QString& cabinet, const QVector<PortCell>& ports);
    const QVector<PortCell>& ports() const { return mPorts; }
    QSize sizeHint() const override { return QSize(640, 360); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString mCabinet;
    QVector<PortCell> mPorts;
};

} // namespace fleet

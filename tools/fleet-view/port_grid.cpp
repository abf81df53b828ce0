#include "port_grid.h"

#include <QPainter>
#include <cmath>

namespace fleet {

namespace {

constexpr int kGap = 3;
constexpr int kCaption = 22; // the cabinet's name above the grid

} // namespace

int gridColumns(int count, int width, int height) {
    int best = 1;
    double bestSide = 0;
    for (int columns = 1; columns <= count; ++columns) {
        const int rows = (count + columns - 1) / columns;
        // Cell width when the width or the 4:3 height limits it, whichever is tighter.
        const double side = std::min(double(width) / columns, double(height) / rows * 4 / 3);
        if (side > bestSide) {
            bestSide = side;
            best = columns;
        }
    }
    return best;
}

void PortGrid::setPorts(const QString& cabinet, const QVector<PortCell>& ports) {
    mCabinet = cabinet;
    mPorts = ports;
    update();
}

void PortGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    const QString caption = mCabinet.isEmpty() ? tr("Select a cabinet to see its ports")
                            : mPorts.isEmpty()
                                ? tr("%1: no port status yet").arg(mCabinet)
                                : tr("%1: %2 ports").arg(mCabinet).arg(mPorts.size());
    p.drawText(QRect(kGap, 0, width() - 2 * kGap, kCaption), Qt::AlignVCenter, caption);
    if (mPorts.isEmpty())
        return;

    const QRect area(kGap, kCaption, width() - kGap, height() - kCaption);
    const int columns = gridColumns(mPorts.size(), area.width(), area.height());
    const int rows = (mPorts.size() + columns - 1) / columns;
    // The cells take the whole width; they never grow taller than wide.
    const int cellW = area.width() / columns;
    const int cellH = std::min(area.height() / rows, cellW);
    QFont number = font();
    number.setBold(true);
    number.setPixelSize(std::clamp(cellH / 4, 8, 22));
    QFont progress = font();
    progress.setPixelSize(std::clamp(cellH / 5, 7, 18));

    for (int i = 0; i < mPorts.size(); ++i) {
        const PortCell& port = mPorts[i];
        const QRect cell(area.left() + (i % columns) * cellW, area.top() + (i / columns) * cellH,
                         cellW - kGap, cellH - kGap);
        const QColor colour = portColour(port.colour);
        p.fillRect(cell, colour.isValid() ? colour : palette().base().color());
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawRect(cell.adjusted(0, 0, -1, -1));
        // The progress as a thin bar along the bottom, as on the panel's frames.
        const int barH = std::max(2, cell.height() / 10);
        const QRect bar(cell.left() + 1, cell.bottom() - barH,
                        (cell.width() - 2) * port.progress / 100, barH);
        p.fillRect(bar, QColor(0x30, 0x70, 0xc0));
        p.setPen(Qt::black);
        p.setFont(number);
        p.drawText(cell.adjusted(4, 2, -4, 0), Qt::AlignLeft | Qt::AlignTop,
                   QString::number(port.number));
        p.setFont(progress);
        p.drawText(cell.adjusted(2, 0, -2, -barH), Qt::AlignCenter,
                   QStringLiteral("%1 %").arg(port.progress));
    }
}

} // namespace fleet

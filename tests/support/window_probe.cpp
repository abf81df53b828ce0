#include "support/window_probe.h"

#include "link/status_block.h"

#include <QGridLayout>
#include <QLabel>
#include <QWidget>

QString labelText(const QWidget* parent, const QString& name) {
    auto* label = parent->findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("<missing>");
}

QString cellName(const QWidget& window, int row, int column) {
    auto* grid = window.findChild<QGridLayout*>(QStringLiteral("gridLayout"));
    QLayoutItem* item = grid ? grid->itemAtPosition(row, column) : nullptr;
    return item && item->widget() ? item->widget()->objectName() : QString();
}

void setHeader(uint32_t engineVersion, int worked, int success, int fail) {
    StatusHeader h{};
    h.length = kStatusBlockSize;
    h.engineVersion = engineVersion;
    h.totalWorked = worked;
    h.totalSuccess = success;
    h.totalFail = fail;
    Info.write(0, &h, sizeof(h));
}

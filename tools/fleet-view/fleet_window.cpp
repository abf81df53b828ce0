#include "fleet_window.h"

#include "fleet_model.h"
#include "port_grid.h"

#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

namespace fleet {

FleetWindow::FleetWindow(FleetModel* model, const QString& broker, QWidget* parent)
    : QMainWindow(parent), mModel(model), mBroker(broker), mTable(new QTableView),
      mGrid(new PortGrid), mConnection(new QLabel), mGarbage(new QLabel) {
    setWindowTitle(tr("h2 fleet: %1").arg(broker));
    mTable->setModel(model);
    mTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    mTable->setSelectionMode(QAbstractItemView::SingleSelection);
    mTable->verticalHeader()->hide();
    // Fitting the columns measures every cell: done on the clock, not on every message.
    mTable->horizontalHeader()->setSectionResizeMode(FleetModel::ColLastResult,
                                                     QHeaderView::Stretch);
    mTable->setAlternatingRowColors(true);

    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(mTable);
    split->addWidget(mGrid);
    split->setStretchFactor(1, 2);
    setCentralWidget(split);
    statusBar()->addWidget(mConnection, 1);
    statusBar()->addPermanentWidget(mGarbage);
    showConnection(false, tr("connecting"));
    showGarbage(0);

    connect(mTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &FleetWindow::showSelected);
    connect(model, &FleetModel::dataChanged, this,
            [this](const QModelIndex& first, const QModelIndex& last) {
                const int row = mTable->currentIndex().row();
                if (row >= first.row() && row <= last.row() &&
                    first.column() <= FleetModel::ColMode)
                    showSelected();
            });
    // The first cabinet to appear is shown at once; the supervisor picks others.
    connect(model, &FleetModel::rowsInserted, this, [this] {
        if (!mTable->currentIndex().isValid())
            mTable->setCurrentIndex(mModel->index(0, 0));
        mTable->resizeColumnsToContents();
    });
    connect(model, &FleetModel::garbageCountChanged, this, &FleetWindow::showGarbage);

    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, [this] {
        mModel->setNow(QDateTime::currentMSecsSinceEpoch());
        mTable->resizeColumnsToContents();
    });
    clock->start(1000);
    mModel->setNow(QDateTime::currentMSecsSinceEpoch());
    resize(1120, 760);
}

void FleetWindow::showConnection(bool connected, const QString& detail) {
    mConnection->setText(connected ? tr("broker %1: connected").arg(mBroker)
                                   : tr("broker %1: %2").arg(mBroker, detail));
}

void FleetWindow::showSelected() {
    const int row = mTable->currentIndex().row();
    mGrid->setPorts(mModel->cabinetAt(row), mModel->ports(row));
}

void FleetWindow::showGarbage(int count) {
    mGarbage->setText(tr("ignored messages: %1").arg(count));
}

} // namespace fleet

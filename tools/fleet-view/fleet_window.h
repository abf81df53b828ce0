#pragma once
// The supervisor's window: the cabinets' table above, the chosen cabinet's ports below, the
// broker's state and the count of ignored messages in the status bar.

#include <QMainWindow>

class QLabel;
class QTableView;

namespace fleet {

class FleetModel;
class PortGrid;

class FleetWindow : public QMainWindow {
    Q_OBJECT
public:
    FleetWindow(FleetModel* model, const QString& broker, QWidget* parent = nullptr);

    void showConnection(bool connected, const QString& detail);

private:
    void showSelected();
    void showGarbage(int count);

    FleetModel* mModel;
    QString mBroker;
    QTableView* mTable;
    PortGrid* mGrid;
    QLabel* mConnection;
    QLabel* mGarbage;
};

} // namespace fleet

#pragma once
// The "导出记录" button of every settings dialog: asks the engine board to export its log
// and shows the progress until the board reports success or failure.
//
// How a dialog uses it: connect export_log's clicked() to its slot onExportLogClicked(),
// which calls LogExport::start(this). start() returns at once; a window-modal progress
// dialog follows Info.engineStatus() once a second (code 1xx shows 10 x (code mod 100) %),
// 110 ends with the "SUCCESS" box, 111 with "FAIL", and so does a board that sends no new
// export code (100..111) for two minutes. The object deletes itself when the box is closed.

#include <QObject>
#include <QPointer>

class QProgressDialog;
class QTimer;
class QWidget;

class LogExport final : public QObject {
    Q_OBJECT
public:
    static LogExport* start(QWidget* dialog);

    // Polling period and the silence after which the export counts as failed; tests shorten
    // both. Defaults 1000 ms and 120000 ms.
    static void setTiming(int pollMs, int silenceLimitMs);

    QProgressDialog* progress() const;

signals:
    // Just before the result box opens.
    void finished(bool success);

private:
    explicit LogExport(QWidget* dialog);
    void poll();
    void finish(bool success);

    QWidget* mDialog;
    QPointer<QProgressDialog> mProgress;
    QTimer* mTimer;
    int mLastCode = -1;
    int mSilentMs = 0;
};

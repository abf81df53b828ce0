#pragma once
// The "导出记录" button of every settings dialog: asks the engine board to export its log
// and shows the progress until the board reports success or failure.
//
// How a dialog uses it: connect export_log's clicked() to its slot onExportLogClicked(),
// which calls LogExport::start(this). When the command cannot be sent, start() shows the
// "FAIL" box at once and returns null. Otherwise it returns at once; a window-modal progress
// dialog follows Info.engineStatus() once a second (code 1xx shows 10 x (code mod 100) %),
// and once the code has changed since the press, 110 ends with the "SUCCESS" box and 111
// with "FAIL". The export also fails when the board link drops, when no status block has
// come for 10 seconds, or after 30 minutes in all. The object deletes itself when the box
// is closed.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include <cstdint>

class QProgressDialog;
class QTimer;
class QWidget;

class LogExport final : public QObject {
    Q_OBJECT
public:
    static LogExport* start(QWidget* dialog);

    // Polling period, the time without a status block and the whole time after which the
    // export counts as failed; tests shorten them. Defaults 1 s, 10 s and 30 min.
    static void setTiming(int pollMs, int blockSilenceMs, int totalLimitMs = 30 * 60 * 1000);

    QProgressDialog* progress() const;

signals:
    // Just before the result box opens.
    void finished(bool success);

private:
    LogExport(QWidget* dialog, int pressCode);
    void poll();
    bool linkFailed();
    void finish(bool success);
    static void showResult(QWidget* dialog, bool success);

    QWidget* mDialog;
    QPointer<QProgressDialog> mProgress;
    QTimer* mTimer;
    // A 110 or 111 left from an earlier export is no answer to this one.
    int mPressCode;
    bool mCodeChanged = false;
    uint64_t mBlocks;
    QElapsedTimer mSinceBlock;
    QElapsedTimer mSincePress;
};

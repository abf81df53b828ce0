#include "dialogs/log_export.h"

#include "app/log_file.h"
#include "dialogs/dialog_commands.h"
#include "link/status_block.h"

#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>

namespace {

int gPollMs = 1000;
int gSilenceLimitMs = 120000;

constexpr int kExportDone = 110;
constexpr int kExportFailed = 111;

bool isExportCode(int code) {
    return code >= 100 && code <= kExportFailed;
}

} // namespace

void LogExport::setTiming(int pollMs, int silenceLimitMs) {
    gPollMs = pollMs;
    gSilenceLimitMs = silenceLimitMs;
}

LogExport* LogExport::start(QWidget* dialog) {
    return new LogExport(dialog);
}

QProgressDialog* LogExport::progress() const {
    return mProgress;
}

LogExport::LogExport(QWidget* dialog) : QObject(dialog), mDialog(dialog), mTimer(new QTimer(this)) {
    mProgress = new QProgressDialog(QStringLiteral("progress"), QString(), 0, 100, dialog);
    mProgress->setCancelButton(nullptr);
    // The box shows the engine's figure as it is; 100 must not close it early.
    mProgress->setAutoClose(false);
    mProgress->setAutoReset(false);
    mProgress->setWindowModality(Qt::WindowModal);
    mProgress->show();

    dialogCommands().exportLog();

    const int code = int(Info.engineStatus());
    mProgress->setValue(10 * (code % 100));
    connect(mTimer, &QTimer::timeout, this, &LogExport::poll);
    mTimer->start(gPollMs);
}

void LogExport::poll() {
    const int code = int(Info.engineStatus());
    if (code == kExportDone || code == kExportFailed) {
        finish(code == kExportDone);
        return;
    }
    // A board that went away leaves its last code in the block: only a new code counts.
    if (isExportCode(code) && code != mLastCode) {
        mLastCode = code;
        mSilentMs = 0;
    } else {
        mSilentMs += gPollMs;
        if (mSilentMs >= gSilenceLimitMs) {
            LOGE("export log: no answer from the engine for %d s\n\r", mSilentMs / 1000);
            finish(false);
            return;
        }
    }
    mProgress->setValue(10 * (code % 100));
}

void LogExport::finish(bool success) {
    mTimer->stop();
    if (mProgress)
        mProgress->hide();
    emit finished(success);
    QPointer<LogExport> self(this);
    if (success)
        QMessageBox::information(mDialog, QStringLiteral("SUCCESS"), tr("成功"));
    else
        QMessageBox::information(mDialog, QStringLiteral("FAIL"), tr("失败"));
    // The dialog, and this object with it, may have gone while the box was open.
    if (!self)
        return;
    if (mProgress)
        mProgress->deleteLater();
    deleteLater();
}

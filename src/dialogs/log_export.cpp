#include "dialogs/log_export.h"

#include "base/log_file.h"
#include "dialogs/dialog_commands.h"
#include "link/engine_messages.h"
#include "link/status_block.h"

#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>

namespace {

int gPollMs = 1000;
int gBlockSilenceMs = 10000;
int gTotalLimitMs = 30 * 60 * 1000;

constexpr int kExportDone = 110;
constexpr int kExportFailed = 111;

} // namespace

void LogExport::setTiming(int pollMs, int blockSilenceMs, int totalLimitMs) {
    gPollMs = pollMs;
    gBlockSilenceMs = blockSilenceMs;
    gTotalLimitMs = totalLimitMs;
}

LogExport* LogExport::start(QWidget* dialog) {
    const int pressCode = int(Info.engineStatus());
    if (dialogCommands().exportLog() < 0) {
        LOGE("export log: command not sent, no board\n\r");
        showResult(dialog, false);
        return nullptr;
    }
    return new LogExport(dialog, pressCode);
}

QProgressDialog* LogExport::progress() const {
    return mProgress;
}

LogExport::LogExport(QWidget* dialog, int pressCode)
    : QObject(dialog), mDialog(dialog), mTimer(new QTimer(this)), mPressCode(pressCode),
      mBlocks(statusBlocksTaken) {
    mSinceBlock.start();
    mSincePress.start();
    mProgress = new QProgressDialog(QStringLiteral("progress"), QString(), 0, 100, dialog);
    mProgress->setCancelButton(nullptr);
    // The box shows the engine's figure as it is; 100 must not close it early.
    mProgress->setAutoClose(false);
    mProgress->setAutoReset(false);
    mProgress->setWindowModality(Qt::WindowModal);
    mProgress->show();

    const int code = int(Info.engineStatus());
    mProgress->setValue(10 * (code % 100));
    connect(mTimer, &QTimer::timeout, this, &LogExport::poll);
    mTimer->start(gPollMs);
}

void LogExport::poll() {
    const int code = int(Info.engineStatus());
    mCodeChanged = mCodeChanged || code != mPressCode;
    if (mCodeChanged && (code == kExportDone || code == kExportFailed)) {
        finish(code == kExportDone);
        return;
    }
    if (linkFailed()) {
        finish(false);
        return;
    }
    mProgress->setValue(10 * (code % 100));
}

// A slow export may hold one code for minutes; only a board that is gone or has stopped
// reporting ends the wait early.
bool LogExport::linkFailed() {
    if (!dialogCommands().boardConnected()) {
        LOGE("export log: board link lost\n\r");
        return true;
    }
    const uint64_t blocks = statusBlocksTaken;
    if (blocks != mBlocks) {
        mBlocks = blocks;
        mSinceBlock.restart();
    } else if (mSinceBlock.hasExpired(gBlockSilenceMs)) {
        LOGE("export log: no status block for %d s\n\r", int(mSinceBlock.elapsed() / 1000));
        return true;
    }
    if (mSincePress.hasExpired(gTotalLimitMs)) {
        LOGE("export log: no result after %d s\n\r", int(mSincePress.elapsed() / 1000));
        return true;
    }
    return false;
}

void LogExport::finish(bool success) {
    mTimer->stop();
    if (mProgress)
        mProgress->hide();
    emit finished(success);
    QPointer<LogExport> self(this);
    showResult(mDialog, success);
    // The dialog, and this object with it, may have gone while the box was open.
    if (!self)
        return;
    if (mProgress)
        mProgress->deleteLater();
    deleteLater();
}

void LogExport::showResult(QWidget* dialog, bool success) {
    if (success)
        QMessageBox::information(dialog, QStringLiteral("SUCCESS"), tr("成功"));
    else
        QMessageBox::information(dialog, QStringLiteral("FAIL"), tr("失败"));
}

#include "upgrade/upgradedialog.h"

#include "base/log_file.h"
#include "ui_upgradedialog.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

struct StateText {
    int state;
    const char* text;
};

const StateText kStateTexts[] = {
    {1, QT_TRANSLATE_NOOP("UpgradeDialog", "升级准备中...")},
    {2, QT_TRANSLATE_NOOP("UpgradeDialog", "升级中...")},
    {3, QT_TRANSLATE_NOOP("UpgradeDialog", "升级成功，请重起机")},
    {4, QT_TRANSLATE_NOOP("UpgradeDialog", "升级失败")},
    {5, QT_TRANSLATE_NOOP("UpgradeDialog", "升级文件没准备好")},
    {6, QT_TRANSLATE_NOOP("UpgradeDialog", "已导出 %1 条记录")}, // results written to the stick
};
const char* const kUnknownState = QT_TRANSLATE_NOOP("UpgradeDialog", "警告");

} // namespace

QString upgradeStateText(int state, int exported) {
    if (state == 0)
        return QStringLiteral("......");
    for (const StateText& row : kStateTexts) {
        if (row.state == state) {
            const QString text = QCoreApplication::translate("UpgradeDialog", row.text);
            return state == 6 ? text.arg(exported) : text;
        }
    }
    return QCoreApplication::translate("UpgradeDialog", kUnknownState);
}

UpgradeDialog::UpgradeDialog(QWidget* parent)
    : QDialog(parent), m_ui(new Ui::UpgradeDialog), mTimer(new QTimer) {
    m_ui->setupUi(this);
    // Emitted on the monitor thread, these arrive queued on the GUI thread.
    connect(this, &UpgradeDialog::startU, this, &UpgradeDialog::start);
    connect(this, &UpgradeDialog::stopU, this, &UpgradeDialog::stop);
    connect(mTimer.get(), &QTimer::timeout, this, &UpgradeDialog::displayui);
    LOGD("dialog init\n\r");
}

UpgradeDialog::~UpgradeDialog() = default;

void UpgradeDialog::displayui() {
    m_ui->progressBar->setValue(mProgress.load());
    m_ui->upgrading->setText(upgradeStateText(mState.load(), mExported.load()));
}

void UpgradeDialog::start() {
    show();
    mTimer->start(1000);
}

void UpgradeDialog::stop() {
    LOGD("stop display ui\n\r");
    mTimer->stop();
    close();
}

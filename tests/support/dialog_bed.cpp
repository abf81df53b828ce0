#include "support/dialog_bed.h"

#include "base/globals.h"
#include "dialogs/dialog_commands.h"
#include "settings/settings.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

DialogBed::DialogBed(int portCount, int machineType, int variant) {
    mMachine.port_count = portCount;
    mMachine.machine_type = machineType;
    mMachine.board_model = 3;
    mMachine.machine_variant = variant;
    settings::loadDefaults(mMachine);
    commitSetting(mMachine);
    masterClears = exportLogs = 0;
    lastMasterClearAfterStore = false;
    dialogCommands().masterClear = [] {
        lastMasterClearAfterStore = readAll(kSettingsFile).contains("MASTERCLEAR = 1\n");
        return ++masterClears, 0;
    };
    dialogCommands().exportLog = [] { return ++exportLogs, 0; };
    dialogCommands().boardConnected = [] { return true; };
    gTranslator = &translator;
    qApp->installEventFilter(this);
}

bool DialogBed::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::LanguageChange)
        ++languageChanges;
    return false;
}

DialogBed::~DialogBed() {
    gTranslator = nullptr;
}

QByteArray DialogBed::storedFile() const {
    return readAll(mWork.file(kSettingsFile));
}

SettingRecord DialogBed::record(const QString& keys) const {
    SettingRecord r = mMachine;
    QString text = keys;
    writeAll(mWork.file("stored"), text.replace(' ', '\n').replace('=', " = ").toUtf8() + '\n');
    settings::parseFile(r, mWork.file("stored").toStdString());
    return r;
}

void DialogBed::writeCatalogues() const {
    for (const char* name : {"/en.qm", "/ch.qm"})
        QFile::copy(qEnvironmentVariable("H2_BINARY_DIR") + name, mWork.path() + name);
}

int execWith(QDialog& dialog, const std::function<void()>& actions) {
    QTimer::singleShot(0, &dialog, actions);
    return dialog.exec();
}

void pressOk(QDialog& dialog) {
    QTest::mouseClick(child<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
}

void pressCancel(QDialog& dialog) {
    QTest::mouseClick(
        child<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Cancel),
        Qt::LeftButton);
}

void clickBox(QAbstractButton* button) {
    // On a page never shown the button has no laid-out geometry to hit.
    for (QWidget* w = button; w && w->parentWidget(); w = w->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget())) {
            if (tabs->indexOf(w) >= 0)
                tabs->setCurrentWidget(w);
        }
    }
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

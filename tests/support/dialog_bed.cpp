#include "support/dialog_bed.h"

#include "app/globals.h"
#include "dialogs/dialog_commands.h"
#include "settings/settings.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTranslator>

namespace {

int gMasterClears = 0;
bool gAfterStore = false;
int gExportLogs = 0;

int countMasterClear() {
    ++gMasterClears;
    QFile file(".h2config");
    gAfterStore = file.open(QIODevice::ReadOnly) && file.readAll().contains("MASTERCLEAR = 1\n");
    return 0;
}

int countExportLog() {
    ++gExportLogs;
    return 0;
}

class LanguageWatch : public QObject {
public:
    int changes = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == qApp && event->type() == QEvent::LanguageChange)
            ++changes;
        return false;
    }
};

} // namespace

DialogBed::DialogBed(int portCount, int machineType, int variant)
    : mTranslator(std::make_unique<QTranslator>()),
      mLanguageWatch(std::make_unique<LanguageWatch>()) {
    SettingRecord r{};
    r.port_count = portCount;
    r.machine_type = machineType;
    r.board_model = 3;
    r.machine_variant = variant;
    settings::loadDefaults(r);
    commitSetting(r);
    gMasterClears = 0;
    gAfterStore = false;
    gExportLogs = 0;
    dialogCommands().masterClear = &countMasterClear;
    dialogCommands().exportLog = &countExportLog;
    gTranslator = mTranslator.get();
    qApp->installEventFilter(mLanguageWatch.get());
}

DialogBed::~DialogBed() {
    QCoreApplication::removeTranslator(mTranslator.get());
    gTranslator = nullptr;
}

QByteArray DialogBed::storedFile() const {
    QFile file(mWork.file(".h2config"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int DialogBed::masterClears() {
    return gMasterClears;
}
bool DialogBed::lastMasterClearAfterStore() {
    return gAfterStore;
}
int DialogBed::exportLogs() {
    return gExportLogs;
}

void DialogBed::writeCatalogues() const {
    // Magic, one hash entry, one message holding only its end tag.
    static const char bytes[] = "\x3C\xB8\x64\x18\xCA\xEF\x9C\x95\xCD\x21\x1C\xBF\x60\xA1\xBD\xDD"
                                "\x42\x00\x00\x00\x08\x00\x00\x00\x00\x00\x00\x00\x00"
                                "\x69\x00\x00\x00\x01\x01";
    const QByteArray catalogue(bytes, sizeof bytes - 1);
    writeAll(mWork.file("en.qm"), catalogue);
    writeAll(mWork.file("ch.qm"), catalogue);
}

int DialogBed::languageChanges() const {
    return static_cast<LanguageWatch*>(mLanguageWatch.get())->changes;
}

int execWith(QDialog& dialog, const std::function<void()>& actions) {
    QTimer::singleShot(0, &dialog, actions);
    return dialog.exec();
}

static QPushButton* boxButton(QDialog& dialog, QDialogButtonBox::StandardButton which) {
    auto* box = dialog.findChild<QDialogButtonBox*>("buttonBox");
    return box ? box->button(which) : nullptr;
}

void pressOk(QDialog& dialog) {
    if (QPushButton* ok = boxButton(dialog, QDialogButtonBox::Ok))
        QTest::mouseClick(ok, Qt::LeftButton);
}

void pressCancel(QDialog& dialog) {
    if (QPushButton* cancel = boxButton(dialog, QDialogButtonBox::Cancel))
        QTest::mouseClick(cancel, Qt::LeftButton);
}

void clickBox(QAbstractButton* button) {
    // Turn to the tab page that holds the box first, as the operator has to: on a page never
    // shown the box has no laid-out geometry to hit.
    for (QWidget* w = button; w && w->parentWidget(); w = w->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget())) {
            if (tabs->indexOf(w) >= 0)
                tabs->setCurrentWidget(w);
        }
    }
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

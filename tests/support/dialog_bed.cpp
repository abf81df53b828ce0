#include "support/dialog_bed.h"

#include "base/globals.h"
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

SettingRecord machineRecord(int portCount, int machineType, int variant) {
    SettingRecord r{};
    r.port_count = portCount;
    r.machine_type = machineType;
    r.board_model = 3;
    r.machine_variant = variant;
    settings::loadDefaults(r);
    return r;
}

DialogBed::DialogBed(int portCount, int machineType, int variant)
    : mTranslator(std::make_unique<QTranslator>()),
      mLanguageWatch(std::make_unique<LanguageWatch>()) {
    commitSetting(machineRecord(portCount, machineType, variant));
    gMasterClears = 0;
    gAfterStore = false;
    gExportLogs = 0;
    dialogCommands().masterClear = &countMasterClear;
    dialogCommands().exportLog = &countExportLog;
    dialogCommands().boardConnected = [] { return true; };
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

// Turns every tab widget between `widget` and its window to the page that holds it.
static void turnTo(QWidget* widget) {
    for (QWidget* w = widget; w && w->parentWidget(); w = w->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget())) {
            if (tabs->indexOf(w) >= 0)
                tabs->setCurrentWidget(w);
        }
    }
}

void clickBox(QAbstractButton* button) {
    // Turn to the tab page that holds the box first, as the operator has to: on a page never
    // shown the box has no laid-out geometry to hit.
    turnTo(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void editSetting(const std::function<void(SettingRecord&)>& change) {
    SettingRecord r = snapshotSetting();
    change(r);
    commitSetting(r);
}

QString checkedButtons(QWidget* parent, const QStringList& names) {
    QStringList checked;
    for (const QString& name : names) {
        if (child<QAbstractButton>(parent, name)->isChecked())
            checked << name;
    }
    return checked.join(',');
}

QString currentPage(QWidget* dialog, const char* tabs) {
    return child<QTabWidget>(dialog, tabs)->currentWidget()->objectName();
}

void showPage(QWidget* dialog, const char* page) {
    turnTo(child(dialog, page));
}

void checkDialogSize(QDialog& dialog) {
    QCOMPARE(dialog.size(), QSize(630, 633));
    dialog.show();
    QCOMPARE(dialog.size(), QSize(630, 633));
}

void addLanguageRows() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("picked");
    QTest::addColumn<int>("installs");
    QTest::newRow("English picked") << 0 << 1 << 1;
    QTest::newRow("Chinese picked back") << 1 << 0 << 1;
    QTest::newRow("Chinese kept") << 0 << -1 << 0;
    QTest::newRow("English kept") << 1 << -1 << 0;
    // Any non-zero language is English: it shows as "English" and is stored as 1.
    QTest::newRow("language 2 shows English") << 2 << -1 << 1;
}

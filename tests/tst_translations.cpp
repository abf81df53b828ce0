// The catalogues and what the operator sees in each language: complete and current against
// the code and the forms with every placeholder kept, a language chosen in the tester dialog
// reaches the open window on its next refresh, and every main window, laid out on the screen,
// shows whole texts and covers in both languages and follows a switch at once.

#include "base/globals.h"
#include "base/translation.h"
#include "copier/copier_logic.h"
#include "dialogs/settingdialog.h"
#include "forms/screen.h"
#include "settings/settings.h"
#include "support/temp_root.h"
#include "support/window_probe.h"
#include "tester/mode_title.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTranslator>
#include <QtTest>

namespace {

const QString kSources = QStringLiteral(H2_SOURCE_DIR);

// Every message of a catalogue as "source -> translation", marked "!" while unfinished.
QStringList readCatalogue(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QStringList entries;
    auto it = QRegularExpression("<source>(.*?)</source>\\s*<translation( type=\"\\w+\")?>(.*?)<",
                                 QRegularExpression::DotMatchesEverythingOption)
                  .globalMatch(QString::fromUtf8(file.readAll()));
    while (it.hasNext()) {
        const auto m = it.next();
        const bool done = m.captured(2).isEmpty() && !m.captured(3).isEmpty();
        entries << (done ? "" : "!") + m.captured(1) + " -> " + m.captured(3);
    }
    return entries;
}

// The line breaks and placeholders a translation must keep for the titles and arg().
QStringList shape(const QString& text) {
    QStringList marks{QString::number(text.count('\n'))};
    auto it = QRegularExpression(QStringLiteral("%L?\\d")).globalMatch(text);
    while (it.hasNext())
        marks << it.next().captured();
    std::sort(marks.begin(), marks.end());
    return marks;
}

// A text that does not fit `label`, in width or in the height of its ink.
QString misfit(const QLabel* label, const QString& text) {
    const QFontMetrics m = label->fontMetrics();
    const QSize need(m.horizontalAdvance(text), m.tightBoundingRect(text).height());
    if (text.isEmpty() || (need.width() <= label->width() && need.height() <= label->height()))
        return QString();
    return QString("%1 \"%2\" needs %3x%4\n")
        .arg(label->objectName(), text)
        .arg(need.width())
        .arg(need.height());
}

QRect rectIn(const QWidget* widget, const QWidget* ancestor) {
    return QRect(widget->mapTo(ancestor, QPoint(0, 0)), widget->size());
}

} // namespace

class Translations : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void catalogueCompleteAndCurrent();
    void dialogSwitchReachesOpenWindow();
    void windows_data();
    void windows();

private:
    TempRoot mRoot;
    TempWorkDir mWork;
};

void Translations::initTestCase() {
    const QString build = qEnvironmentVariable("H2_BINARY_DIR", QStringLiteral("."));
    for (const char* qm : {"en.qm", "ch.qm"})
        QVERIFY(QFile::copy(build + "/" + qm, QString::fromLatin1(qm)));
}

// A fresh extraction into a copy of the catalogue finds nothing new, gone or unfinished (a
// text added to the code without its translation fails here; run ninja update_translations),
// and no translation loses or adds a placeholder or a line of a title.
void Translations::catalogueCompleteAndCurrent() {
    for (const QString catalogue : {"en.ts", "ch.ts"}) {
        const QString committed = kSources + "/translations/" + catalogue;
        QVERIFY(QFile::copy(committed, catalogue));
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(QStringLiteral(H2_LUPDATE),
                      {"-no-obsolete", "-locations", "none", kSources + "/src", "-ts", catalogue});
        QVERIFY(lupdate.waitForFinished(120000));
        QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());
        const QStringList entries = readCatalogue(catalogue);
        QVERIFY(entries.size() > 100);
        QCOMPARE(entries.size(), readCatalogue(committed).size());
        for (const QString& e : entries)
            QVERIFY2(!e.startsWith('!') &&
                         shape(e.section(" -> ", 0, 0)) == shape(e.section(" -> ", 1)),
                     qPrintable(e));
    }
}

// English chosen and confirmed in the tester dialog: the window's next tick writes its port
// status in English, with no restart and no call on the window: a tester port writing, and a
// copier target failed, painted once when it failed.
void Translations::dialogSwitchReachesOpenWindow() {
    for (const bool copier : {false, true}) {
        const QString texts = copier ? "  失败|  Failed" : "写入:|Write:";
        QTranslator translator;
        gTranslator = &translator;
        QVERIFY(loadTranslation(translator, 0));
        QCoreApplication::installTranslator(&translator);
        setMachine(48, copier ? 3 : 0, copier);
        Info.clear();
        setRecord(copier ? 'C' : 'T', copier ? 4 : 5, copier ? 7 : 1, 1); // failed, writing
        Machine w(copier ? 'C' : 'T');
        w.start();
        w.shown->show();
        w.tick();
        auto* status = w.frame(5)->findChild<QLabel*>("label_status");
        QVERIFY2(status->text().startsWith(texts.section('|', 0, 0)), qPrintable(status->text()));
        SettingDialog dialog;
        dialog.findChild<QComboBox*>(QStringLiteral("language"))->setCurrentIndex(1);
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QCoreApplication::processEvents(); // the switch reaches the windows as a posted event
        QVERIFY2(status->text().startsWith(texts.section('|', 0, 0)), "changed before the tick");
        w.tick();
        QVERIFY2(status->text().startsWith(texts.section('|', 1)), qPrintable(status->text()));
        QCoreApplication::removeTranslator(&translator);
        gTranslator = nullptr;
    }
}

void Translations::windows_data() {
    QTest::addColumn<QString>("machine"); // window, ports, variant
    QTest::addColumn<QString>("layout");  // form, frames, grid cells "row,column=frame"
    const QHash<QString, QString> layouts = {
        {"T 51 0", "MainWindow_51 50 1,0=frame_2 5,0= 6,0= 7,0=frame_42"},
        {"T 80 0", "MainWindow_80 80 1,1=frame_9 8,9=frame_80"},
        {"T 121 0", "MainWindow_121 120 8,0=frame_2 1,0=frame_9 1,14=frame_121"},
        {"C 24 0", "MainWindowCopy_24 24 5,0= 6,0=frame_21"},
        {"C 121 0", "MainWindowCopy_121 121 0,0=StatusWidget 8,0=frame_2 1,14=frame_121"},
        {"B 80 0", "MainWindowBurnin_80 80 8,0=frame_8 1,1=frame_9"}};
    // Every form: the port counts with one of their own and one without.
    const QString machines = "T4 T6 T8 T10 T12 T16 T16/4 T20 T24 T28 T32 T40 T48 T50 T51 T64 T80 "
                             "T96 T121 C4 C6 C8 C10 C12 C16 C20 C24 C32 C40 C48 C51 C64 C121 B8 "
                             "B10 B12 B16 B16/4 B20 B24 B32 B40 B48 B64 B80 B96";
    for (const QString& token : machines.split(' ')) {
        const QString key =
            token.at(0) + ' ' + token.mid(1).replace('/', ' ') + (token.contains('/') ? "" : " 0");
        QTest::newRow(qPrintable(key)) << key << layouts.value(key);
    }
}

// The window as start-up shows it: its form and grid; then in Chinese and in English the
// strip's texts (five-digit counters, every mode name) fit their labels and do not overlap,
// the two brand lines of a strip above 8 ports lie inside it; frames lie on the screen apart;
// the cover of every empty port hides its whole frame and shows its title whole. A switch
// re-sets the form's captions and the mode name at once.
void Translations::windows() {
    QFETCH(QString, machine);
    QFETCH(QString, layout);
    const QStringList m = machine.split(' ');
    const char kind = m[0][0].toLatin1();
    setMachine(m[1].toInt(), kind == 'C' ? 3 : kind == 'B' ? 7 : 0, kind == 'C', m[2].toInt());
    Info.clear();
    setHeader(0x24061501);
    Machine w(kind);
    w.start();
    QMainWindow* window = w.shown;
    showMainWindow(window, h2::ShowAs::Maximized);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QList<QWidget*> frames =
        window->findChildren<QWidget*>(QRegularExpression("^frame_\\d+$"));
    QVERIFY(frames.size() >= std::min(m[1].toInt(), 32) - 1);
    const QStringList cells = layout.split(' ', Qt::SkipEmptyParts);
    if (!cells.isEmpty()) {
        QCOMPARE(kind == 'T'   ? w.tester.form().name
                 : kind == 'C' ? w.copier->form().name
                               : w.burnin->form().name,
                 cells[0]);
        QCOMPARE(frames.size(), cells[1].toInt());
    }
    for (const QString& cell : cells.mid(2))
        QCOMPARE(cellName(*window, cell.section(',', 0, 0).toInt(),
                          cell.section(',', 1).section('=', 0, 0).toInt()),
                 cell.section('=', 1));
    QWidget* strip = window->findChild<QWidget*>(QStringLiteral("StatusWidget"));
    const QList<QWidget*> parts =
        strip ? strip->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)
              : QList<QWidget*>{};
    // What the form wrote: the strip's captions and mode name, a caption of the last frame.
    const auto formTexts = [&] {
        QStringList texts{labelText(frames.last(), kind == 'T'   ? "label_1_2"
                                                   : kind == 'C' ? "label_3_1"
                                                                 : "testRequiredTime")};
        for (QWidget* part : parts)
            texts << (part->objectName().contains(QRegularExpression("^(label|workingMode)"))
                          ? labelText(strip, part->objectName())
                          : "");
        return texts;
    };
    const QStringList chinese = formTexts();
    QTranslator english;
    QVERIFY(english.load(QStringLiteral("en.qm")));
    for (bool inEnglish : {false, true}) {
        if (inEnglish) {
            QCoreApplication::installTranslator(&english);
            QCoreApplication::processEvents();
            int changed = 0;
            for (int i = 0; i < chinese.size(); ++i)
                changed += formTexts()[i] != chinese[i];
            QCOMPARE(changed, strip ? (kind == 'B' ? 7 : 8) : 1);
        }
        QString faults;
        int brands = 0;
        for (QWidget* part : parts) {
            auto* label = qobject_cast<QLabel*>(part);
            const QString name = part->objectName();
            if (part->isHidden() || name.startsWith("frame_") || !label)
                continue;
            QStringList texts{label->text(),
                              name.contains(QRegularExpression("^(current|total)")) ? "99999" : ""};
            for (int mode : {0, 1, 2, 8, 9, 10, 11, 3, 4, 5, 6, 12, 13})
                texts << (name != "workingMode" ? ""
                          : kind == 'T'         ? tester::modeName(mode)
                          : kind == 'C'         ? copier::stripModeName(mode)
                                                : "BURNIN");
            // The brand lines (the labels without a name but the version) fit and lie inside the
            // strip, clear of its named labels and button; they overlap each other by design.
            const bool brand = name.isEmpty() && !label->text().startsWith('V');
            brands += brand;
            for (const QString& text : name.isEmpty() ? QStringList{} : texts)
                faults += misfit(label, text);
            if (brand && (!strip->rect().contains(part->geometry()) ||
                          label->fontMetrics().horizontalAdvance(label->text()) > label->width()))
                faults += label->text() + " leaves the strip\n";
            for (QWidget* other : parts) {
                const QString by = other->objectName();
                if (other != part && !other->isHidden() && !by.isEmpty() &&
                    !by.startsWith("frame_") && other->geometry().intersects(part->geometry()))
                    faults += name + label->text() + " overlaps " + by + '\n';
            }
        }
        for (QWidget* frame : frames) {
            const QRect r = rectIn(frame, window);
            if (!QRect(0, 0, kScreenWidth + 2, kScreenHeight).contains(r))
                faults += frame->objectName() + " leaves the screen\n";
            for (QWidget* other : frames) {
                if (other != frame && r.intersects(rectIn(other, window)))
                    faults += frame->objectName() + " overlaps " + other->objectName() + '\n';
            }
            // The cover is the frame's disabled label; its title is the cover's own label.
            QLabel* mask = nullptr;
            for (QLabel* l : frame->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
                mask = l->isEnabled() ? mask : l;
            QLabel* title = mask ? mask->findChild<QLabel*>() : nullptr;
            if (!title || mask->isHidden()) {
                faults += frame->objectName() + " has no cover\n";
                continue;
            }
            title->ensurePolished();
            const QRect text = title->fontMetrics().boundingRect(
                rectIn(title, frame), Qt::AlignCenter | (title->wordWrap() ? Qt::TextWordWrap : 0),
                title->text());
            if (!rectIn(mask, frame).contains(frame->rect()) || !frame->rect().contains(text))
                faults += frame->objectName() + " cover or title out of the frame\n";
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults));
        QCOMPARE(brands, strip && m[1].toInt() > 8 ? 2 : 0);
    }
    QCoreApplication::removeTranslator(&english);
}

QTEST_MAIN(Translations)
#include "tst_translations.moc"

// The dialogs, driven through their widgets as an operator would. The five settings
// dialogs: what each shows for a stored record and what OK stores, the checks they all share
// (master reset, language, log export button, Cancel), the capacity grading page and the log
// export. The start dialog and the upgrade progress dialog.

#include "dialogs/dialog_commands.h"
#include "dialogs/log_export.h"
#include "dialogs/settingdialog.h"
#include "dialogs/settingdialog_tf.h"
#include "dialogs/settingdlg.h"
#include "dialogs/settingdlg_h2bn.h"
#include "dialogs/settingdlg_ssd.h"
#include "link/engine_messages.h"
#include "link/status_block.h"
#include "settings/settings.h"
#include "support/dialog_bed.h"
#include "support/stdout_capture.h"
#include "upgrade/startdialog.h"
#include "upgrade/upgradedialog.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// Rows of a text table: a row a line, continued on indented lines, cells split at '|'.
QList<QStringList> table(const char* text) {
    QList<QStringList> rows;
    for (const QString& line :
         QString::fromUtf8(text).trimmed().split(QRegularExpression("\n(?=\\S)"))) {
        rows << line.split('|');
        for (QString& cell : rows.last())
            cell = cell.simplified();
    }
    return rows;
}

// kind | ports | machine type | variant | Cancel logs "reject" | title, size, languages,
// pages, hidden buttons, export button. Only the 8-port burn-in machine of variant 3 goes
// without burn-in.
const char* const kKinds = R"(
tester | 48 | 0 | 0 | 0 | Setting 625x564 中文,English,2
    tab_h2:H2/H5检测 tab_burn:Burn tab_format:格式化 tab:容量分选 tab_results:结果 导出记录
copier | 16 | 1 | 0 | 1 | Setting 630x633 中文,English,2
    tab_copy:拷贝 tab_h2:检测 tab_format:格式化 tab:容量分选 tab_results:结果 导出记录
ssd | 8 | 2 | 2 | 1 | Setting 630x633 中文,English,2 tab_copy:拷贝 tab_h2:擦除
    tab_results:结果 导出记录
burnin | 16 | 1 | 3 | 1 | Setting 630x633 中文,English,2 tab_h2:H2检测 tab_burn:BurnIn
    tab_results:结果 导出记录
burnin-v0 | 8 | 1 | 0 | 1 | Setting 630x633 中文,English,2 tab_h2:H2检测 tab_burn:BurnIn
    tab_results:结果 导出记录
burnin-8v3 | 8 | 1 | 3 | 1 | Setting 630x633 中文,English,2 tab_h2:H2检测 tab_results:结果
    -burnin_mode 导出记录
tf | 48 | 0 | 0 | 0 | Setting 601x519 中文,English,2 tab:H2/H5 tab_2:格式化 tab_3:容量分选
    tab_results:结果 导出记录
)";

QStringList kindRow(const QString& kind) {
    for (const QStringList& row : table(kKinds)) {
        if (row[0] == kind)
            return row;
    }
    qFatal("no dialog kind %s", qPrintable(kind));
}

// The dialog of one kind on the machine it belongs to.
struct Bed : DialogBed {
    explicit Bed(const QString& kind) : Bed(kindRow(kind)) {}
    explicit Bed(const QStringList& row)
        : DialogBed(row[1].toInt(), row[2].toInt(), row[3].toInt()), logsReject(row[4] == "1"),
          look(row[5]), kind(row[0]) {
        writeCatalogues();
    }
    QDialog* make() const {
        return kind == "tester"   ? new SettingDialog
               : kind == "copier" ? new SettingDlg
               : kind == "ssd"    ? new SettingDlg_ssd
               : kind == "tf"     ? new SettingDialog_tf
                                  : static_cast<QDialog*>(new SettingDlg_h2bn);
    }
    // Opens the dialog on mSetting, runs `act` inside its event loop, then OK or Cancel.
    int run(const std::function<void(QDialog&)>& act, bool ok = true) const {
        std::unique_ptr<QDialog> d(make());
        return execWith(*d, [&] {
            act(*d);
            ok ? pressOk(*d) : pressCancel(*d);
        });
    }
    // The settings file's value of each key of `keys` ("mode=3 copy_cap=-1"); capacity_test,
    // which the file does not hold, as mSetting has it; the catalogue as installs:file; the
    // master-clear commands as count:whether the last went out after the file was stored.
    QString saved(const QString& keys) const {
        const QString file =
            '\n' + storedFile() +
            QStringLiteral("capacity_test = %1\ncatalogue = %2:%3\ncleared = %4:%5\n")
                .arg(QString::number(mSetting.capacity_test), QString::number(languageChanges),
                     QFileInfo(translator.filePath()).fileName(), QString::number(masterClears),
                     QString::number(lastMasterClearAfterStore));
        QStringList out;
        for (const QString& key : keys.split(' ', Qt::SkipEmptyParts)) {
            const QString name = key.section('=', 0, 0);
            const int at = file.indexOf('\n' + name + " = ");
            out << name + '=' + (at < 0 ? "?" : file.mid(at + name.size() + 4).section('\n', 0, 0));
        }
        return out.join(' ');
    }
    const bool logsReject;
    const QString look, kind;
};

// A list's item, a spin box's value, a tool button's style, a button's check, a label's
// enable, a page's visibility.
QString state(QWidget* w) {
    if (auto* list = qobject_cast<QComboBox*>(w))
        return list->currentText();
    if (auto* spin = qobject_cast<QSpinBox*>(w))
        return QString::number(spin->value());
    if (auto* tool = qobject_cast<QToolButton*>(w))
        return tool->styleSheet();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return QString::number(button->isChecked());
    return QString::number(qobject_cast<QLabel*>(w) ? w->isEnabled() : w->isVisible());
}

// Plays `script` on a dialog: "name" clicks a button, "name=value" sets a box, a spin box or
// a list's item by its text, "?name=value" expects the widget's state. Returns the states
// that differ.
QString play(QDialog& d, const QString& script) {
    QString wrong;
    for (const QString& token : script.split(' ', Qt::SkipEmptyParts)) {
        const bool ask = token.startsWith('?');
        const QString name = token.mid(ask ? 1 : 0).section('=', 0, 0);
        const QString value = token.section('=', 1);
        QWidget* w = child(&d, name);
        auto* list = qobject_cast<QComboBox*>(w);
        auto* button = qobject_cast<QAbstractButton*>(w);
        if (ask) {
            if (state(w) != value)
                wrong += ' ' + name + '=' + state(w);
        } else if (list) {
            list->setCurrentIndex(-1); // picking the item shown must store it too
            list->setCurrentIndex(list->findText(value));
        } else if (auto* spin = qobject_cast<QSpinBox*>(w)) {
            spin->setValue(value.toInt());
        } else if (value.isEmpty()) {
            clickBox(button);
        } else {
            button->setChecked(value != "0");
        }
    }
    return wrong;
}

void setEngineStatus(uint32_t code) {
    Info.write(offsetof(StatusHeader, engineStatus), &code, sizeof code);
}

// Each button of a group and each item of a list. kinds | field | a value no control offers
// | what the dialog shows for it: the checked buttons [@ the page], or the list's item |
// the list and its length, none for a button group | choices: button or item = value stored
// [@ page shown]
const char* const kChoices = R"(
tester | mode | 5 | burnin_mode@tab_burn | | testmode=0@tab_h2 formatmode=1@tab_format
    h5testmode=2@tab_h2 burnin_mode=7@tab_burn testcmode=9@tab_h2 panalysis=11@tab_h2
copier | mode | 7 | @tab_copy | | testmode=0@tab_h2 formatmode=1@tab_format h5testmode=2@tab_h2
    fullcopycompare=3@tab_copy fullcopy=4@tab_copy datacopycompare=5@tab_copy
    datacopy=6@tab_copy fullcompare=12@tab_copy datacompare=13@tab_copy
ssd | mode | 0 | @tab_h2 | | fullcopycompare=3@tab_copy fullcopy=4@tab_copy
    datacopycompare=5@tab_copy datacopy=6@tab_copy wipemode=10@tab_h2
burnin | mode | 5 | @tab_h2 | | testmode=0@tab_h2 burnin_mode=7@tab_burn wipemode=10@tab_h2
tf | mode | 5 | @tab_2 | | testmode=0@tab_2 formatmode=1@tab_2 h5testmode=2@tab_2
tester tf | format_type | 9 | | | formatkeep=0 formatauto=1 formatfat16=2 formatfat32=3
    formatfat64=4
copier | format_type | 9 | | | formatkeep=0 formatauto=1 formatfat16=2 formatfat32=3
    formatfat64=4 formatfat32_2=5
tester copier | test_block | 1048576 | test_autoblk | | test_4k=4096 test_64k=65536
    test_2m=2097152 test_autoblk=0
burnin tf | test_block | 1048576 | | | test_4k=4096 test_64k=65536 test_2m=2097152
    test_autoblk=0
tester copier tf | testSizeMode | -1 | | | test_percent=0 test_m=1 test_regular=2
tester burnin | burnin_block | 12345 | | | burn_block_4k=4096 burn_block_64k=65536
    burnin_block_128k=131072 burnin_block_256k=262144 burnin_block_1m=1048576
    burnin_block_2m=2097152 burnin_block_4m=4194304
tester burnin | burnin_data | 5 | | | random_data=0 all_0=1 all_1=2
ssd burnin | wipe_mode | 4 | | | random_data_2=0 all_2=1 all_3=2 all_4=3
copier ssd | copy_cap | 7 | | | copycap0=0 copycap5=5 copycap10=10 copycap15=15 copycap20=20
    copycap30=30 copycap00=-1
ssd | copy_block | 524288 | | | copy_4k=4096 copy_64k=65536 copy_128k=131072 copy_256k=262144
    copy_1m=1048576 copy_2m=2097152 copy_4m=4194304
tester tf | write_speed | 33 | 0 | comboBox_2:38 | 5MB/s=5 9MB/s=9 10MB/s=10 130MB/s=130
    320MB/s=320 0=0
tester tf | read_speed | 15 | 0 | comboBox_3:33 | 10MB/s=10 160MB/s=160 320MB/s=320 0=0
tester copier tf | testSizeReg | 12345 | 100M | comboBox_test_number:9 | 100M=102400
    200M=204800 300M=307200 500M=512000 800M=819200 1G=1048576 2G=2097152 4G=4194304
    8G=8388608
copier | copy_block | 123 | 2MB | copy_block_size:7 | 4KB=4096 64KB=65536 256KB=262144
    512KB=524288 1MB=1048576 2MB=2097152 4MB=4194304
copier ssd | COPYTIMECOUNT | 7 | 30 | copy_time_count:7 | 3=3 5=5 10=10 15=15 20=20 25=25
    30=30
copier | volumekeep | 5 | 无 | comboBox_volume:3 | 无=0 保留卷标=1 拷贝卷标=2
burnin | capacity_test | 12 | 1% | comboBox:28 | 1%=1 3%=3 10%=10 15%=15 100%=100
burnin | write_speed | 260 | 0 | comboBox_2:28 | 10MB/s=10 200MB/s=200 250MB/s=250 550MB/s=550
    0=0
burnin | read_speed | 170 | 0 | comboBox_3:17 | 10MB/s=10 160MB/s=160 0=0
burnin-v0 | write_speed | 130 | 0 | comboBox_2:18 | 5MB/s=5 9MB/s=9 10MB/s=10 120MB/s=120
)";

// Each dialog's own fields. kinds | case | stored over the factory settings | script played
// on the dialog before OK | saved in the settings file (and capacity_test of mSetting, the
// catalogue as installs:file, the master-clear commands as count:sent after storing)
const char* const kFields = R"(
tester copier tf | range in megabytes | testSizeMode=1 testSizePercent=40 testSizeM=250 |
    ?spinBox=40 ?spinBox_test_m=250 ?test_m=1 spinBox=12 |
    testSizeMode=1 testSizePercent=12 testSizeM=250 capacity_test=256000
tester copier tf | MBR, grading switches, after-format flag |
    createMBR=1 capfil_format_enable=1 after_format=1 |
    ?create_mbr=1 create_mbr ?format_capfil_en=1 ?test_capfil_en=0 test_capfil_en
    after_format=0 after_format ?after_format=0 |
    createMBR=0 capfil_format_enable=1 capfil_test_enable=1 after_format=0
tester burnin | burn-in numbers | burnin_cycle=12 burnin_time=1000 burnin_content=30 |
    ?test_cycle=12 ?test_time=240 ?test_content=30 test_cycle=3 test_content=100 |
    burnin_cycle=3 burnin_time=240 burnin_content=100
tester copier ssd burnin tf | master reset stored before the command is sent, once | |
    ?master_reset=0 master_reset | MASTERCLEAR=1 cleared=1:1
tester copier | master reset shows the stored flag | MASTERCLEAR=1 |
    ?master_reset=1 master_reset | MASTERCLEAR=0 cleared=0:0
ssd burnin tf | master reset opens unticked | MASTERCLEAR=1 | ?master_reset=0 |
    MASTERCLEAR=0 cleared=0:0
tester copier ssd burnin tf | English picked | language=0 | ?language=中文 language=English |
    language=1 catalogue=1:en.qm
tester copier ssd burnin tf | Chinese picked, language 2 shown as English | language=2 |
    ?language=English language=中文 | language=0 catalogue=1:ch.qm
tester copier ssd burnin tf | English kept | language=1 | ?language=English |
    language=1 catalogue=0:
tester | no range saves the percentage, an odd preset the first |
    testSizePercent=40 testSizeReg=12345 |
    ?test_percent=0 ?comboBox_test_number=100M spinBox_test_m=900 |
    testSizeMode=0 testSizeReg=102400 testSizeM=900 capacity_test=40
tester | volume and analysis flags flip from the stored value, not the box |
    analysisPre=1 | volumekeep=1 volumekeep ?volumekeep=1 ?analysis_pre=1 analysis_pre
    ?analysis_pre=0 | volumekeep=1 analysisPre=0
tester | values no control offers survive |
    format_type=9 write_speed=33 read_speed=15 test_block=1048576 burnin_block=12345
    burnin_data=5 | ?burnin_mode=1 ?tab_burn=1 ?comboBox_2=0 ?test_autoblk=1 |
    mode=5 format_type=9 write_speed=33 read_speed=15 test_block=1048576 burnin_block=12345
    burnin_data=5
copier | speeds show clamped | write_speed=150 read_speed=35 |
    ?spinBox_2=100 ?spinBox_3=35 spinBox_3=60 | write_speed=100 read_speed=60
copier | a range click re-reads the block group, shown as AUTO |
    test_block=1048576 testSizeMode=-1 | ?test_autoblk=1 test_m | test_block=0 testSizeMode=1
copier tf | a range click re-reads the block group | test_block=65536 testSizeMode=0 |
    test_2m=1 test_regular | test_block=2097152 testSizeMode=2
copier tf | a block click re-reads the range group | test_block=65536 testSizeMode=2 |
    test_percent=1 test_autoblk | test_block=0 testSizeMode=0
copier | values no control offers |
    mode=7 format_type=9 copy_cap=7 volumekeep=5 test_block=1048576 COPYTIMECOUNT=7
    copy_block=123 testSizeReg=1000 | ?tab_copy=1 ?copy_time_count=30 ?copy_block_size=2MB |
    mode=7 format_type=9 copy_cap=7 volumekeep=5 test_block=1048576 COPYTIMECOUNT=30
    copy_block=2097152 testSizeReg=102400
ssd | OK forces the speed and the test block | copy_block=262144 write_speed=50
    test_block=65536 mode=11 | ?copy_256k=1 ?tab_h2=1 |
    copy_block=262144 test_block=262144 write_speed=0 mode=11
ssd | values no control offers | mode=1 copy_cap=7 wipe_mode=4 copy_block=524288
    COPYTIMECOUNT=7 | ?tab_h2=1 ?copy_time_count=30 | mode=1 copy_cap=7 wipe_mode=4
    copy_block=524288 test_block=524288 COPYTIMECOUNT=30
burnin | a picked share wins over a range in megabytes | testSizeMode=1 testSizeM=10 |
    comboBox=15% | testSizeMode=0 testSizePercent=15 capacity_test=15
burnin | a share left alone | capacity_test=20 | ?comboBox=20% |
    testSizeMode=-1 capacity_test=20
burnin | values no list or group offers | write_speed=260 read_speed=170 test_block=1048576
    burnin_block=8192 burnin_data=5 wipe_mode=4 | ?comboBox_2=0 ?comboBox_3=0 ?tab_h2=1 |
    mode=5 write_speed=260 read_speed=170 test_block=1048576 burnin_block=8192 burnin_data=5
    wipe_mode=4
tf | OK rewrites the boxes and keeps the slot fields |
    testSizeMode=2 testSizePercent=0 testSizeM=5000 testSizeReg=123456 format_type=5
    write_speed=33 test_block=1048576 |
    ?test_regular=1 ?comboBox_test_number=100M ?tab_2=1 capfil_en9 capfil_high9=999999999 |
    testSizeMode=2 testSizePercent=1 testSizeM=900 testSizeReg=102400 capacity_test=102400
    format_type=5 write_speed=33 test_block=1048576 capfil_enable_9=1 capfil_high_9=999999999
)";

// Rows for each kind of a row's first cell.
void addRows(const char* text, const char* format) {
    for (const QStringList& row : table(text)) {
        for (const QString& kind : row[0].split(' ')) {
            QTestData& data = QTest::addRow(format, qPrintable(kind), qPrintable(row[1])) << kind;
            for (int i = 1; i < row.size(); ++i)
                data << row[i];
        }
    }
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    // Each choice is stored on OK and shown on the next opening.
    void choices_data() {
        for (const char* column : {"kind", "field", "unknown", "shows", "list", "choices"})
            QTest::addColumn<QString>(column);
        addRows(kChoices, "%s %s");
    }
    void choices() {
        QFETCH(QString, kind);
        QFETCH(QString, field);
        QFETCH(QString, unknown);
        QFETCH(QString, shows);
        QFETCH(QString, list);
        QFETCH(QString, choices);
        Bed bed(kind);
        const QString combo = list.section(':', 0, 0);
        // The script that expects `shown`: a list's item, or a button checked alone [@ page].
        const auto expect = [&](const QString& shown) {
            if (!combo.isEmpty())
                return " ?" + combo + '=' + shown;
            QString script = shown.contains('@') ? " ?" + shown.section('@', 1) + "=1" : "";
            for (const QString& choice : choices.split(' ')) {
                const QString name = choice.section('=', 0, 0);
                script += " ?" + name + (name == shown.section('@', 0, 0) ? "=1" : "=0");
            }
            return script;
        };
        for (const QString& choice : choices.split(' ')) {
            const QString key = choice.section('=', 0, 0);
            const QString value = choice.section('=', 1).section('@', 0, 0);
            const QString shown = combo.isEmpty() ? QString(choice).remove('=' + value) : key;
            commitSetting(bed.record(field + '=' + unknown));
            QString wrong;
            bed.run([&](QDialog& d) {
                wrong = play(d, expect(shows) + (combo.isEmpty() ? " " : " " + combo + '=') + key +
                                    expect(shown));
                if (!combo.isEmpty() &&
                    list.section(':', 1).toInt() != child<QComboBox>(&d, combo)->count())
                    wrong += " count";
            });
            bed.run([&](QDialog& d) { wrong += play(d, expect(shown)); }, false);
            QCOMPARE(wrong, QString());
            QCOMPARE(bed.saved(field + '=' + value), field + '=' + value);
        }
    }

    void fields_data() {
        for (const char* column : {"kind", "case", "stored", "script", "saved"})
            QTest::addColumn<QString>(column);
        addRows(kFields, "%s: %s");
    }
    void fields() {
        QFETCH(QString, kind);
        QFETCH(QString, stored);
        QFETCH(QString, script);
        QFETCH(QString, saved);
        Bed bed(kind);
        commitSetting(bed.record(stored));
        QString wrong;
        QCOMPARE(bed.run([&](QDialog& d) { wrong = play(d, script); }), int(QDialog::Accepted));
        QCOMPARE(wrong, QString());
        QCOMPARE(bed.saved(saved), saved);
    }

    // Every control touched, a colour picked, the log exported, then Cancel: the export ran,
    // but nothing reaches the record, the file, the translator or the engine.
    void cancel_data() {
        QTest::addColumn<QString>("kind");
        for (const QStringList& row : table(kKinds))
            QTest::newRow(qPrintable(row[0])) << row[0];
    }
    void cancel() {
        QFETCH(QString, kind);
        Bed bed(kind);
        const SettingRecord before = snapshotSetting();
        LogExport::setTiming(10, 60000, 50); // no answer: fails at once
        QString look, box;
        auto colours = answerModals<QColorDialog>([](QColorDialog* c) {
            c->setCurrentColor(Qt::red);
            c->accept();
        });
        auto boxes = answerModals<QMessageBox>([&](QMessageBox* m) {
            box = m->windowTitle() + ' ' + m->text();
            m->accept();
        });
        const auto touchAll = [&](QDialog& d) {
            auto* tabs = d.findChild<QTabWidget*>();
            auto* language = child<QComboBox>(&d, "language");
            look = QStringLiteral("%1 %2x%3 %4,%5,%6")
                       .arg(d.windowTitle())
                       .arg(d.width())
                       .arg(d.height())
                       .arg(language->itemText(0), language->itemText(1))
                       .arg(language->count());
            for (int i = 0; i < tabs->count(); ++i)
                look += ' ' + tabs->widget(i)->objectName() + ':' + tabs->tabText(i);
            for (auto* b : d.findChildren<QAbstractButton*>()) {
                if (!qobject_cast<QRadioButton*>(b) && !qobject_cast<QCheckBox*>(b))
                    continue;
                if (b->isHidden())
                    look += " -" + b->objectName();
                clickBox(b);
            }
            for (auto* list : d.findChildren<QComboBox*>())
                list->setCurrentIndex(list->count() - 1);
            for (auto* spin : d.findChildren<QSpinBox*>())
                spin->setValue(spin->minimum());
            if (auto* colour = d.findChild<QToolButton*>("capfil_color4")) {
                clickBox(colour);
                look += ' ' + colour->styleSheet();
            }
            auto* exportLog = child<QPushButton>(&d, "export_log");
            look += ' ' + exportLog->text();
            clickBox(exportLog);
            QTRY_VERIFY(!box.isEmpty());
        };
        StdoutCapture out;
        QCOMPARE(bed.run(touchAll, false), int(QDialog::Rejected));
        QCOMPARE(look.remove(" background:#ff0000"), bed.look);
        QCOMPARE(box, QStringLiteral("FAIL 失败"));
        QCOMPARE(DialogBed::exportLogs, 1);
        QVERIFY(memcmp(&mSetting, &before, sizeof before) == 0);
        QVERIFY(bed.storedFile().isEmpty());
        QCOMPARE(bed.languageChanges, 0);
        QCOMPARE(DialogBed::masterClears, 0);
        QCOMPARE(out.text().contains(" reject\n"), bed.logsReject);
    }

    // The grading page of the three dialogs that carry it, in both languages: greyed bounds
    // still show their values, a tick enables them at once, a picked colour goes to the
    // button and the record, a cancelled one changes nothing, each bound shows nine digits.
    void grading_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("english");
        for (const char* kind : {"tester", "copier", "tf"}) {
            QTest::addRow("%s Chinese", kind) << kind << false;
            QTest::addRow("%s English", kind) << kind << true;
        }
    }
    void grading() {
        QFETCH(QString, kind);
        QFETCH(bool, english);
        Bed bed(kind);
        if (english)
            QVERIFY(bed.translator.load("en.qm") && qApp->installTranslator(&bed.translator));
        // Grade 1's colour was hand-edited beyond 24 bits (0x3500ab12).
        commitSetting(bed.record("capfil_enable_2=1 capfil_low_3=111 capfil_high_3=999999999 "
                                 "capfil_color_1=889236242"));
        QString offered, wrong;
        auto colours = answerModals<QColorDialog>([&](QColorDialog* c) {
            const bool first = offered.isEmpty();
            offered += c->windowTitle() + ' ' + c->currentColor().name() + ' ';
            c->setCurrentColor(first ? Qt::blue : Qt::red);
            first ? c->accept() : c->reject();
        });
        bed.run([&](QDialog& d) {
            wrong = play(
                d, "?capfil_low1=6800 ?capfil_high1=9200 ?capfil_low9=1740800 "
                   "?capfil_high9=2355200 ?capfil_en3=0 ?capfil_low3=111 ?capfil_high3=999999999 "
                   "?capfil_label_low3=0 ?capfil_label_high3=0 ?capfil_label_low2=1 "
                   "capfil_en3 ?capfil_label_low3=1 ?capfil_label_high3=1 "
                   "?capfil_color1=background:#00ab12 capfil_color2 capfil_color7 "
                   "?capfil_color2=background:#0000ff ?capfil_color7=background:#e6d8ef "
                   "capfil_high3=3");
            for (auto* spin : d.findChildren<QSpinBox*>(QRegularExpression("^capfil_"))) {
                const auto* edit = spin->findChild<QLineEdit*>();
                const int needed = edit->fontMetrics().horizontalAdvance("999999999");
                if (spin->maximum() != 999999999 || needed + 4 > edit->width())
                    wrong += ' ' + spin->objectName() + " cut";
            }
        });
        QCOMPARE(wrong, QString());
        QCOMPARE(offered, QStringLiteral("Select Color #ffff00 Select Color #e6d8ef "));
        const QString saved = "capfil_enable_2=1 capfil_enable_3=1 capfil_low_3=111 "
                              "capfil_high_3=3 capfil_color_2=255 capfil_color_7=15128815";
        QCOMPARE(bed.saved(saved), saved);
    }

    // The export: a window-modal progress dialog without a cancel button follows the codes
    // (code=bar, each fed once the bar shows the last) while status blocks arrive every 10 ms;
    // then the link does as `link` says: "alive" (blocks go on), "quiet" (blocks stop),
    // "dropped" (connection gone) or "unsent" (the command never went out).
    void exportCodes_data() {
        for (const char* column : {"press", "codes", "link", "last", "box"})
            QTest::addColumn<QString>(column);
        for (const QStringList& r : table(R"(
slow success | 0 | 100=0 103=30 107=70 | alive | 110 | SUCCESS 成功 1
failure | 0 | 101=10 103=30 | alive | 111 | FAIL 失败 1
stale 110 is no answer | 110 | | quiet | 110 | FAIL 失败 1
not sent: fails at once | 110 | | unsent | 110 | FAIL 失败 1
blocks stop | 0 | 102=20 105=50 | quiet | 105 | FAIL 失败 1
link drops | 0 | 104=40 | dropped | 104 | FAIL 失败 1
no result in the total time | 0 | | alive | 3 | FAIL 失败 1
)"))
            QTest::newRow(qPrintable(r[0])) << r[1] << r[2] << r[3] << r[4] << r[5];
    }
    void exportCodes() {
        QFETCH(QString, press);
        QFETCH(QString, codes);
        QFETCH(QString, link);
        QFETCH(QString, last);
        QFETCH(QString, box);
        DialogBed bed;
        if (link == "unsent")
            dialogCommands().exportLog = [] { return ++DialogBed::exportLogs, -1; };
        // Short polls; the block silence is far below the time each row holds its codes.
        LogExport::setTiming(10, 150, 2000);
        setEngineStatus(press.toUInt());
        QTimer blocks;
        QObject::connect(&blocks, &QTimer::timeout, [] { ++statusBlocksTaken; });
        blocks.start(10);
        QDialog dialog;
        dialog.show();
        QString shown;
        auto boxes = answerModals<QMessageBox>([&](QMessageBox* m) {
            shown = QStringLiteral("%1 %2 %3")
                        .arg(m->windowTitle(), m->text())
                        .arg(m->buttons().size());
            m->button(QMessageBox::Ok)->click();
        });
        LogExport* exporter = LogExport::start(&dialog);
        QCOMPARE(DialogBed::exportLogs, 1);
        if (link == "unsent") {
            QVERIFY(!exporter && !dialog.findChild<QProgressDialog*>());
        } else {
            QPointer<QProgressDialog> progress = exporter->progress();
            QCOMPARE(QStringLiteral("%1 %2-%3 %4 %5")
                         .arg(progress->labelText())
                         .arg(progress->minimum())
                         .arg(progress->maximum())
                         .arg(progress->windowModality() == Qt::WindowModal)
                         .arg(progress->findChildren<QPushButton*>().size()),
                     QStringLiteral("progress 0-100 1 0"));
            QCOMPARE(progress->parentWidget(), &dialog);
            for (const QString& code : codes.split(' ', Qt::SkipEmptyParts)) {
                setEngineStatus(code.section('=', 0, 0).toUInt());
                QTRY_COMPARE(progress->value(), code.section('=', 1).toInt());
            }
            if (link == "alive") {
                QTest::qWait(300); // one code held past the block silence keeps it going
                QCOMPARE(shown, QString());
            }
            if (link == "quiet")
                blocks.stop();
            if (link == "dropped")
                dialogCommands().boardConnected = [] { return false; };
            setEngineStatus(last.toUInt());
            QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), 20000);
            QTRY_VERIFY(!progress || !progress->isVisible());
        }
        QCOMPARE(shown, box);
        QCOMPARE(DialogBed::exportLogs, 1);
    }

    void stateTexts() {
        QStringList texts;
        for (int state : {0, 1, 2, 3, 4, 5, 6, 7, -1})
            texts << upgradeStateText(state, 12);
        QCOMPARE(texts,
                 (QStringList{"......", "升级准备中...", "升级中...", "升级成功，请重起机",
                              "升级失败", "升级文件没准备好", "已导出 12 条记录", "警告", "警告"}));
    }

    // Machines of 8 ports or fewer show no brand lines.
    void startDialog() {
        for (int ports : {8, 9}) {
            mSetting.port_count = ports;
            StartDialog dialog(nullptr);
            auto* words = dialog.findChild<QLabel*>("startWords");
            auto* company = dialog.findChild<QLabel*>("company_name");
            auto* kalmo = dialog.findChild<QLabel*>("kalmo_name");
            QCOMPARE(QStringLiteral("%1 %2 %3 %4x%5 %6 %7 %8 %9")
                         .arg(dialog.objectName(), dialog.windowTitle(), dialog.styleSheet())
                         .arg(dialog.width())
                         .arg(dialog.height())
                         .arg(dialog.font().pointSize())
                         .arg(dialog.font().bold())
                         .arg(bool(dialog.windowFlags() & Qt::FramelessWindowHint))
                         .arg(dialog.isSizeGripEnabled()),
                     QStringLiteral("StartDialog PREPARE background:#c2ffd1 400x300 19 1 1 0"));
            QCOMPARE(words->text(), QStringLiteral("系统准备中，请稍候..."));
            QCOMPARE(words->geometry(), QRect(60, 100, 331, 81));
            QCOMPARE(company->text() + '|' + kalmo->text(),
                     ports == 8 ? QStringLiteral(" | ")
                                : QStringLiteral("Tervan拷贝机|-KALMO技术-"));
            QCOMPARE(QList<int>({words->font().pointSize(), company->font().pointSize(),
                                 kalmo->font().pointSize(), company->y(), kalmo->y()}),
                     QList<int>({18, 10, 6, 0, 20}));
            // In the top right corner, inside the dialog, each brand shown whole.
            for (auto [label, text] :
                 {std::pair{company, "Tervan拷贝机"}, {kalmo, "-KALMO技术-"}}) {
                QVERIFY(dialog.rect().contains(label->geometry()) &&
                        label->geometry().right() >= 380);
                QVERIFY(label->fontMetrics().horizontalAdvance(QString::fromUtf8(text)) <=
                        label->contentsRect().width());
            }
        }
    }

    // The monitor writes the two fields and emits the signals from its own thread; the dialog
    // opens, refreshes once a second and closes on the GUI thread.
    void upgradeDialog() {
        UpgradeDialog dialog(nullptr);
        auto* bar = dialog.findChild<QProgressBar*>("progressBar");
        auto* line = dialog.findChild<QLabel*>("upgrading");
        QCOMPARE(QStringLiteral("%1 %2 %3x%4 %5 %6 %7")
                     .arg(dialog.objectName(), dialog.windowTitle())
                     .arg(dialog.width())
                     .arg(dialog.height())
                     .arg(bar->value())
                     .arg(bar->format(), line->text()),
                 QStringLiteral("UpgradeDialog Dialog 400x300 0 %p% TextLabel"));
        QCOMPARE(bar->geometry(), QRect(40, 200, 291, 21));
        QCOMPARE(line->geometry(), QRect(60, 100, 281, 41));
        QCOMPARE(line->font().pointSize(), 15);
        QVERIFY(!dialog.isVisible());

        const auto fromMonitor = [&](const std::function<void()>& work) {
            std::unique_ptr<QThread> monitor(QThread::create(work));
            monitor->start();
            QVERIFY(monitor->wait(5000));
        };
        fromMonitor([&] {
            emit dialog.startU();
            dialog.setStep(100, 3);
        });
        QTRY_VERIFY(dialog.isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(line->text(), QStringLiteral("升级成功，请重起机"), 3000);
        QCOMPARE(bar->text(), QStringLiteral("100%"));
        fromMonitor([&] { emit dialog.stopU(); });
        QTRY_VERIFY(!dialog.isVisible());

        // Reopened for the next stick: the last values show until the next tick.
        dialog.setStep(30, 2);
        emit dialog.startU();
        QTRY_VERIFY(dialog.isVisible());
        QCOMPARE(bar->value(), 100);
        QTRY_COMPARE_WITH_TIMEOUT(line->text(), QStringLiteral("升级中..."), 3000);
        QCOMPARE(bar->value(), 30);

        // No refresh while hidden.
        dialog.stop();
        dialog.setStep(60, 2);
        QTest::qWait(1300);
        QCOMPARE(bar->value(), 30);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"

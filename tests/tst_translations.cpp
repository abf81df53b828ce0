// The catalogues: complete and current against the code and the forms, the built English
// catalogue answers with its texts and keeps their placeholders, a language chosen in the
// tester dialog reaches the open window on its next refresh, and the fixed captions of every
// built window follow it at once.

#include "base/globals.h"
#include "base/translation.h"
#include "burnin/mainwindowburnin.h"
#include "copier/mainwindowcopy.h"
#include "dialogs/settingdialog.h"
#include "link/status_block.h"
#include "platform/desktop_platform.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "tester/mainwindow.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>
#include <cstring>
#include <functional>
#include <memory>

namespace {

struct Entry {
    QString context, source, translation, type;
};

QList<Entry> readCatalogue(const QString& path, QString* error) {
    QList<Entry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return entries;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Entry entry;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringRef tag = xml.name();
        if (tag == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (tag == QLatin1String("message")) {
            entry = {context, {}, {}, {}};
        } else if (tag == QLatin1String("source")) {
            entry.source = xml.readElementText();
        } else if (tag == QLatin1String("translation")) {
            entry.type = xml.attributes().value(QLatin1String("type")).toString();
            entry.translation = xml.readElementText();
            entries.append(entry);
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return entries;
}

QString sourceDir() {
    return QStringLiteral(H2_SOURCE_DIR);
}
QString binaryDir() {
    return qEnvironmentVariable("H2_BINARY_DIR", QStringLiteral("."));
}

// The placeholders and line breaks a translation must keep for arg() and the title rows.
QStringList shape(const QString& text) {
    QStringList marks;
    QRegularExpressionMatchIterator it =
        QRegularExpression(QStringLiteral("%L?\\d")).globalMatch(text);
    while (it.hasNext())
        marks << it.next().captured();
    marks.sort();
    marks << QString::number(text.count(QLatin1Char('\n')));
    return marks;
}

// Accepts the tester dialog with the language chosen.
void chooseLanguage(int language) {
    SettingDialog dialog;
    dialog.findChild<QComboBox*>(QStringLiteral("language"))->setCurrentIndex(language);
    dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))
        ->button(QDialogButtonBox::Ok)
        ->click();
}

// The panel's catalogues in a scratch working directory, Chinese loaded into gTranslator.
class LanguageBed {
public:
    LanguageBed() {
        h2::setPlatform(h2::makeDesktopPlatform(mRoot.path().toStdString()));
        for (const char* qm : {"en.qm", "ch.qm"})
            mReady = mReady && QFile::copy(binaryDir() + "/" + qm, mWork.filePath(qm));
        mReady = mReady && QDir::setCurrent(mWork.path());
        gTranslator = &mTranslator;
        mReady = mReady && loadTranslation(mTranslator, 0);
        QCoreApplication::installTranslator(&mTranslator);
    }
    ~LanguageBed() {
        QCoreApplication::removeTranslator(&mTranslator);
        gTranslator = nullptr;
        QDir::setCurrent(mOldDir);
    }
    bool ready() const { return mReady && mRoot.isValid() && mWork.isValid(); }

private:
    QTemporaryDir mRoot, mWork;
    const QString mOldDir = QDir::currentPath();
    QTranslator mTranslator;
    bool mReady = true;
};

QString labelText(const QWidget* parent, const QString& name) {
    auto* label = parent ? parent->findChild<QLabel*>(name) : nullptr;
    return label ? label->text() : QStringLiteral("<missing %1>").arg(name);
}

void setStatus(int port, uint32_t state) {
    TesterPortRecord r;
    memset(&r, 0, sizeof(r));
    r.state = state;
    r.connected = 1;
    Info.write(testerPortOffset(port), &r, sizeof(r));
}

} // namespace

class Translations : public QObject {
    Q_OBJECT

private slots:
    void catalogueCompleteAndCurrent_data();
    void catalogueCompleteAndCurrent();
    void builtEnglishCatalogue();
    void dialogSwitchReachesOpenWindow_data();
    void dialogSwitchReachesOpenWindow();
    void builtWindowsFollowSwitch_data();
    void builtWindowsFollowSwitch();
};

void Translations::catalogueCompleteAndCurrent_data() {
    QTest::addColumn<QString>("catalogue");
    QTest::newRow("English") << "en.ts";
    QTest::newRow("Chinese") << "ch.ts";
}

// A fresh extraction into a copy of the catalogue must find nothing new, nothing gone and
// nothing unfinished: a text added to the code without its translation fails here.
void Translations::catalogueCompleteAndCurrent() {
    QFETCH(QString, catalogue);
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString committed = sourceDir() + "/translations/" + catalogue;
    const QString fresh = tmp.filePath(catalogue);
    QVERIFY(QFile::copy(committed, fresh));

    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(H2_LUPDATE),
                  {QStringLiteral("-no-obsolete"), QStringLiteral("-locations"),
                   QStringLiteral("none"), sourceDir() + "/src", QStringLiteral("-ts"), fresh});
    QVERIFY(lupdate.waitForFinished(120000));
    QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());

    QString error;
    const QList<Entry> before = readCatalogue(committed, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QList<Entry> after = readCatalogue(fresh, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(after.size() > 100);

    QStringList problems;
    for (const Entry& e : after) {
        if (!e.type.isEmpty() || e.translation.isEmpty())
            problems << QStringLiteral("%1 \"%2\": %3")
                            .arg(e.context, e.source, e.type.isEmpty() ? "empty" : e.type);
    }
    if (before.size() != after.size())
        problems << QStringLiteral("%1 texts in the catalogue, %2 in the code (run "
                                   "ninja update_translations)")
                        .arg(before.size())
                        .arg(after.size());
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

// What the panel loads: every English text comes back from the built catalogue, and no
// translation loses or adds a placeholder or a line of a title.
void Translations::builtEnglishCatalogue() {
    QTranslator translator;
    QVERIFY2(translator.load(QStringLiteral("en.qm"), binaryDir()), qPrintable(binaryDir()));
    QString error;
    const QList<Entry> entries = readCatalogue(sourceDir() + "/translations/en.ts", &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QStringList problems;
    for (const Entry& e : entries) {
        const QString got =
            translator.translate(e.context.toUtf8().constData(), e.source.toUtf8().constData());
        if (got != e.translation)
            problems << QStringLiteral("%1 \"%2\" gives \"%3\"").arg(e.context, e.source, got);
        if (shape(e.source) != shape(e.translation))
            problems << QStringLiteral("%1 \"%2\" -> \"%3\" changes placeholders or lines")
                            .arg(e.context, e.source, e.translation);
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    QCOMPARE(translator.translate("Frame", "写入:"), QStringLiteral("Write:"));
}

void Translations::dialogSwitchReachesOpenWindow_data() {
    QTest::addColumn<bool>("copier");
    QTest::addColumn<QString>("chinese");
    QTest::addColumn<QString>("english");
    QTest::newRow("tester, port writing") << false << "写入:"
                                          << "Write:";
    // A finished target is painted once, when it finishes; the switch must reach it still.
    QTest::newRow("copier, target failed") << true << "  失败"
                                           << "  Failed";
}

// English chosen and confirmed in the tester dialog: the window's next tick writes its port
// status in English, with no restart and no call on the window.
void Translations::dialogSwitchReachesOpenWindow() {
    QFETCH(bool, copier);
    QFETCH(QString, chinese);
    QFETCH(QString, english);
    LanguageBed bed;
    QVERIFY(bed.ready());
    memset(&mSetting, 0, sizeof(mSetting));
    mSetting.port_count = 48;
    mSetting.machine_type = copier ? 1 : 0;
    mSetting.mode = copier ? 3 : 0;
    Info.clear();
    std::unique_ptr<QMainWindow> window;
    std::function<void()> tick;
    if (copier) {
        CopierPortRecord r{};
        r.connectState = 1;
        r.portStatus = 7;
        Info.write(copierPortOffset(4), &r, sizeof(r));
        auto* w = new MainWindowCopy(nullptr, 48);
        window.reset(w);
        w->start();
        tick = [w] { w->JobUiChange(); };
    } else {
        setStatus(5, 1);
        auto* w = new MainWindow(nullptr, 48);
        window.reset(w);
        tick = [w] { w->update(); };
    }
    window->show();
    tick();
    auto* frame = window->findChild<QWidget*>(QStringLiteral("frame_5"));
    auto* status = frame ? frame->findChild<QLabel*>(QStringLiteral("label_status")) : nullptr;
    QVERIFY(status);
    QVERIFY2(status->text().startsWith(chinese), qPrintable(status->text()));

    chooseLanguage(1);
    QCOMPARE(mSetting.language, 1);
    QCoreApplication::processEvents(); // the switch reaches the windows as a posted event
    QVERIFY2(status->text().startsWith(chinese), "changed before the tick");
    tick();
    QVERIFY2(status->text().startsWith(english), qPrintable(status->text()));
}

enum class Kind { Tester, Copier, Burnin };
Q_DECLARE_METATYPE(Kind)

void Translations::builtWindowsFollowSwitch_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("ports");
    QTest::addColumn<QString>("stripContext");
    QTest::addColumn<QString>("frameContext");
    // A caption of the form that nothing writes, and a label the window has written to.
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("captionSource");
    QTest::addColumn<QString>("written");

    QTest::newRow("copier 16, strip above the grid") << Kind::Copier << 16 << "MainWindowCopy"
                                                     << "Frame_dst"
                                                     << "frame_4"
                                                     << "label_3_1"
                                                     << "  容量"
                                                     << "dataCloned";
    QTest::newRow("copier 48, strip in the grid") << Kind::Copier << 48 << "MainWindowCopy"
                                                  << "Frame_dst"
                                                  << "frame_40"
                                                  << "label"
                                                  << "  拷贝"
                                                  << "label_3_2";
    QTest::newRow("copier 121, master in the strip") << Kind::Copier << 121 << "MainWindowCopy"
                                                     << "Frame_dd"
                                                     << "frame_1"
                                                     << "label_3_1"
                                                     << "  容量"
                                                     << "capacity";
    QTest::newRow("burn-in 16") << Kind::Burnin << 16 << "MainWindowCopy"
                                << "FrameBn"
                                << "frame_7"
                                << "testRequiredTime"
                                << "时间设定"
                                << "status";
    QTest::newRow("burn-in 80") << Kind::Burnin << 80 << "MainWindowCopy"
                                << "FrameBn"
                                << "frame_80"
                                << "error"
                                << "错误"
                                << "speed";
    QTest::newRow("tester 121") << Kind::Tester << 121 << "MainWindow"
                                << "Frame"
                                << "frame_121"
                                << "label_1_2"
                                << "时间"
                                << "label_status";
}

// A language switch re-sets what the forms wrote once, in every built window, shown or not:
// the strip captions, the frames' own captions, the mode name of a started window. Texts
// the window wrote into the frames stay until its next refresh.
void Translations::builtWindowsFollowSwitch() {
    QFETCH(Kind, kind);
    QFETCH(int, ports);
    QFETCH(QString, stripContext);
    QFETCH(QString, frameContext);
    QFETCH(QString, frame);
    QFETCH(QString, caption);
    QFETCH(QString, captionSource);
    QFETCH(QString, written);

    LanguageBed bed;
    QVERIFY(bed.ready());
    memset(&mSetting, 0, sizeof(mSetting));
    mSetting.port_count = ports;
    mSetting.machine_type = kind == Kind::Copier ? 1 : 0;
    mSetting.mode = kind == Kind::Copier ? 3 : kind == Kind::Burnin ? 7 : 1;
    Info.clear();

    std::unique_ptr<QMainWindow> window;
    QString modeSource; // the mode name in the strip, empty where the window sets none
    if (kind == Kind::Copier) {
        auto* copier = new MainWindowCopy(nullptr, ports);
        window.reset(copier);
        copier->start();
        copier->stop();
        modeSource = QStringLiteral("全盘拷贝比较");
    } else if (kind == Kind::Tester) {
        auto* tester = new MainWindow(nullptr, ports);
        window.reset(tester);
        tester->start();
        tester->stop();
        modeSource = QStringLiteral("格式化");
    } else {
        window.reset(new MainWindowBurnin(nullptr, ports));
    }
    QWidget* strip = window->findChild<QWidget*>(QStringLiteral("StatusWidget"));
    QVERIFY(strip);
    QWidget* port = window->findChild<QWidget*>(frame);
    QVERIFY(port);
    auto* writtenLabel = port->findChild<QLabel*>(written);
    QVERIFY(writtenLabel);
    writtenLabel->setText(QStringLiteral("42 GB"));

    // Chinese as built; then English, then Chinese again.
    const struct {
        int language;
        bool english;
    } steps[] = {{0, false}, {1, true}, {0, false}};
    for (const auto& step : steps) {
        if (step.language != mSetting.language)
            chooseLanguage(step.language);
        QCOMPARE(mSetting.language, step.language);
        const auto inForce = [&](const QString& context, const QString& source) {
            const QString text = QCoreApplication::translate(context.toUtf8().constData(),
                                                             source.toUtf8().constData());
            // The catalogue itself must have switched, or the test would prove nothing.
            return step.english && text == source ? QStringLiteral("<untranslated>") : text;
        };
        QTRY_COMPARE(labelText(strip, QStringLiteral("label_2")),
                     inForce(stripContext, QStringLiteral("成功总数")));
        QCOMPARE(labelText(strip, QStringLiteral("label_6")),
                 inForce(stripContext, QStringLiteral("当前失败")));
        QCOMPARE(labelText(port, caption), inForce(frameContext, captionSource));
        if (!modeSource.isEmpty())
            QCOMPARE(labelText(strip, QStringLiteral("workingMode")),
                     inForce(stripContext, modeSource));
        if (kind == Kind::Copier)
            QCOMPARE(labelText(window->findChild<QWidget*>(QStringLiteral("frame_1")),
                               QStringLiteral("label_no")),
                     inForce(stripContext, QStringLiteral("源")));
        QCOMPARE(writtenLabel->text(), QStringLiteral("42 GB"));
    }
}

QTEST_MAIN(Translations)
#include "tst_translations.moc"

// The catalogues: complete and current against the code and the forms, the built English
// catalogue answers with its texts and keeps their placeholders, and a language chosen in
// the tester dialog reaches the open window on its next refresh.

#include "app/globals.h"
#include "app/translation.h"
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
    void dialogSwitchReachesOpenWindow();
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

// English chosen and confirmed in the tester dialog: the window's next tick writes its port
// status in English, with no restart and no call on the window.
void Translations::dialogSwitchReachesOpenWindow() {
    QTemporaryDir root, work;
    QVERIFY(root.isValid() && work.isValid());
    h2::setPlatform(h2::makeDesktopPlatform(root.path().toStdString()));
    for (const char* qm : {"en.qm", "ch.qm"})
        QVERIFY(QFile::copy(binaryDir() + "/" + qm, work.filePath(QLatin1String(qm))));
    const QString oldDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));

    QTranslator translator;
    gTranslator = &translator;
    QVERIFY(loadTranslation(translator, 0));
    QCoreApplication::installTranslator(&translator);

    memset(&mSetting, 0, sizeof(mSetting));
    mSetting.port_count = 48;
    Info.clear();
    MainWindow window(nullptr, 48);
    window.show();
    setStatus(5, 1);
    window.update();
    auto* status = window.findChild<QWidget*>(QStringLiteral("frame_5"))
                       ? window.findChild<QWidget*>(QStringLiteral("frame_5"))
                             ->findChild<QLabel*>(QStringLiteral("label_status"))
                       : nullptr;
    QVERIFY(status);
    QVERIFY2(status->text().startsWith(QStringLiteral("写入:")), qPrintable(status->text()));

    {
        SettingDialog dialog;
        dialog.findChild<QComboBox*>(QStringLiteral("language"))->setCurrentIndex(1);
        dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))
            ->button(QDialogButtonBox::Ok)
            ->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QCOMPARE(mSetting.language, 1);
    QCOMPARE(QCoreApplication::translate("Frame", "写入:"), QStringLiteral("Write:"));
    QVERIFY2(status->text().startsWith(QStringLiteral("写入:")), "changed before the tick");
    window.update();
    QVERIFY2(status->text().startsWith(QStringLiteral("Write:")), qPrintable(status->text()));

    QCoreApplication::removeTranslator(&translator);
    gTranslator = nullptr;
    QDir::setCurrent(oldDir);
}

QTEST_MAIN(Translations)
#include "tst_translations.moc"

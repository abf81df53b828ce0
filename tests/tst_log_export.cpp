// The log export: the command, the progress shown from the engine's status codes, and the
// result box for success, failure and an engine that stops answering.

#include "dialogs/dialog_commands.h"
#include "dialogs/log_export.h"
#include "link/engine_messages.h"
#include "link/status_block.h"
#include "support/modal_answer.h"

#include <QDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>

namespace {

int gExportCommands = 0;
int gSendResult = 0;
bool gConnected = true;
int countExport() {
    ++gExportCommands;
    return gSendResult;
}

void setStatus(int code) {
    const uint32_t value = uint32_t(code);
    Info.write(offsetof(StatusHeader, engineStatus), &value, sizeof value);
}

struct Outcome {
    bool boxShown = false;
    QString title;
    QString text;
    int buttons = 0;
};

} // namespace

class TestLogExport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void scriptedCodes_data();
    void scriptedCodes();
    void progressDialogLooksAsExpected();
};

void TestLogExport::initTestCase() {
    dialogCommands().exportLog = &countExport;
    dialogCommands().boardConnected = [] { return gConnected; };
}

void TestLogExport::init() {
    gExportCommands = 0;
    gSendResult = 0;
    gConnected = true;
    Info.clear();
}

// Status blocks arrive every 10 ms while the codes are fed; then the link does as `link`
// says: "alive" (blocks go on), "quiet" (blocks stop), "dropped" (connection gone) or
// "unsent" (the command never went out).
void TestLogExport::scriptedCodes_data() {
    QTest::addColumn<int>("press");          // in the block when the button is pressed
    QTest::addColumn<QVector<int>>("codes"); // fed one by one, each once the bar shows it
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("last"); // left in the block at the end
    QTest::addColumn<QString>("title");
    QTest::newRow("slow success") << 0 << QVector<int>{100, 103, 107} << "alive" << 110
                                  << "SUCCESS";
    QTest::newRow("failure") << 0 << QVector<int>{101, 103} << "alive" << 111 << "FAIL";
    QTest::newRow("stale 110 is no answer") << 110 << QVector<int>{} << "quiet" << 110 << "FAIL";
    QTest::newRow("not sent: fails at once") << 110 << QVector<int>{} << "unsent" << 110 << "FAIL";
    QTest::newRow("blocks stop") << 0 << QVector<int>{102, 105} << "quiet" << 105 << "FAIL";
    QTest::newRow("link drops") << 0 << QVector<int>{104} << "dropped" << 104 << "FAIL";
    QTest::newRow("no result in the total time") << 0 << QVector<int>{} << "alive" << 3 << "FAIL";
}

void TestLogExport::scriptedCodes() {
    QFETCH(int, press);
    QFETCH(QVector<int>, codes);
    QFETCH(QString, link);
    QFETCH(int, last);
    QFETCH(QString, title);
    // Short polls; the block silence is far below the time each row holds its codes.
    LogExport::setTiming(10, 150, 2000);
    setStatus(press);
    gSendResult = link == "unsent" ? -1 : 0;
    QTimer blocks;
    QObject::connect(&blocks, &QTimer::timeout, [] { ++statusBlocksTaken; });
    blocks.start(10);

    QDialog dialog;
    dialog.show();
    Outcome outcome;
    auto answered = answerModal<QMessageBox>(
        [&](QMessageBox* box) {
            outcome.boxShown = true;
            outcome.title = box->windowTitle();
            outcome.text = box->text();
            outcome.buttons = box->buttons().size();
            box->button(QMessageBox::Ok)->click();
        },
        20000);
    LogExport* exporter = LogExport::start(&dialog);
    QCOMPARE(gExportCommands, 1);
    if (link == "unsent") {
        QVERIFY(!exporter && *answered);
        QVERIFY(!dialog.findChild<QProgressDialog*>());
    } else {
        QPointer<QProgressDialog> progress = exporter->progress();
        QSignalSpy finished(exporter, &LogExport::finished);
        for (int code : codes) {
            setStatus(code);
            QTRY_COMPARE(progress->value(), 10 * (code % 100));
        }
        if (link == "alive") {
            QTest::qWait(300); // one code held past the block silence keeps the export going
            QVERIFY(finished.isEmpty());
        }
        if (link == "quiet")
            blocks.stop();
        gConnected = link != "dropped";
        setStatus(last);
        QTRY_VERIFY_WITH_TIMEOUT(*answered, 20000);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), title == "SUCCESS");
        QTRY_VERIFY(!progress || !progress->isVisible());
    }
    QCOMPARE(outcome.title, title);
    QCOMPARE(outcome.text, title == "SUCCESS" ? QStringLiteral("成功") : QStringLiteral("失败"));
    QCOMPARE(outcome.buttons, 1);
    QCOMPARE(gExportCommands, 1);
}

void TestLogExport::progressDialogLooksAsExpected() {
    LogExport::setTiming(10, 60000);
    setStatus(103); // left over: shown at once, before the first poll
    QDialog dialog;
    dialog.show();
    LogExport* exporter = LogExport::start(&dialog);
    QProgressDialog* progress = exporter->progress();
    QVERIFY(progress->isVisible());
    QCOMPARE(progress->windowModality(), Qt::WindowModal);
    QCOMPARE(progress->labelText(), QStringLiteral("progress"));
    QCOMPARE(progress->value(), 30);
    QCOMPARE(progress->minimum(), 0);
    QCOMPARE(progress->maximum(), 100);
    QVERIFY(progress->findChildren<QPushButton*>().isEmpty()); // no way to cancel
    QCOMPARE(progress->parentWidget(), &dialog);

    auto answered = answerModal<QMessageBox>([](QMessageBox* box) { box->accept(); });
    setStatus(110);
    QTRY_VERIFY(*answered);
}

QTEST_MAIN(TestLogExport)
#include "tst_log_export.moc"

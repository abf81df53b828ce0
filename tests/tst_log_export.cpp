// The log export: the command, the progress shown from the engine's status codes, and the
// result box for success, failure and an engine that stops answering.

#include "dialogs/dialog_commands.h"
#include "dialogs/log_export.h"
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
int countExport() {
    return ++gExportCommands;
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
    void engineThatKeepsReportingIsNotCutOff();
};

void TestLogExport::initTestCase() {
    dialogCommands().exportLog = &countExport;
}

void TestLogExport::init() {
    gExportCommands = 0;
    Info.clear();
}

void TestLogExport::scriptedCodes_data() {
    QTest::addColumn<QVector<int>>("codes"); // fed one by one, each once the bar shows it
    QTest::addColumn<int>("last");           // left in the block at the end
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("success") << QVector<int>{100, 103, 107} << 110 << "SUCCESS"
                             << "成功";
    QTest::newRow("failure") << QVector<int>{101, 103} << 111 << "FAIL"
                             << "失败";
    QTest::newRow("silent engine times out") << QVector<int>{} << 0 << "FAIL"
                                             << "失败";
    QTest::newRow("engine gone mid-export times out") << QVector<int>{102, 105} << 105 << "FAIL"
                                                      << "失败";
    QTest::newRow("upgrade code is no answer") << QVector<int>{} << 3 << "FAIL"
                                               << "失败";
}

void TestLogExport::scriptedCodes() {
    QFETCH(QVector<int>, codes);
    QFETCH(int, last);
    QFETCH(QString, title);
    QFETCH(QString, text);
    const bool timesOut = last != 110 && last != 111;
    // Short polls; a silence limit that only the time-out rows can reach.
    LogExport::setTiming(10, timesOut ? 150 : 60000);

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
    QPointer<QProgressDialog> progress = exporter->progress();
    QSignalSpy finished(exporter, &LogExport::finished);
    QCOMPARE(gExportCommands, 1);

    for (int code : codes) {
        setStatus(code);
        QTRY_COMPARE(progress->value(), 10 * (code % 100));
        QVERIFY(finished.isEmpty());
    }
    setStatus(last);
    QTRY_VERIFY_WITH_TIMEOUT(*answered, 20000);
    QCOMPARE(outcome.title, title);
    QCOMPARE(outcome.text, text);
    QCOMPARE(outcome.buttons, 1);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), last == 110);
    QTRY_VERIFY(!progress || !progress->isVisible());
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

void TestLogExport::engineThatKeepsReportingIsNotCutOff() {
    // Each code is held for about half the silence limit; the whole export takes several
    // limits, and ends in success because every new code restarts the silence clock.
    LogExport::setTiming(10, 200);
    QDialog dialog;
    dialog.show();
    Outcome outcome;
    auto answered = answerModal<QMessageBox>(
        [&](QMessageBox* box) {
            outcome.title = box->windowTitle();
            box->accept();
        },
        20000);
    LogExport* exporter = LogExport::start(&dialog);
    QPointer<QProgressDialog> progress = exporter->progress();
    for (int code = 100; code <= 109; ++code) {
        setStatus(code);
        QTRY_COMPARE(progress->value(), 10 * (code % 100));
        QTest::qWait(80);
        QVERIFY(!*answered);
    }
    setStatus(110);
    QTRY_VERIFY_WITH_TIMEOUT(*answered, 20000);
    QCOMPARE(outcome.title, QStringLiteral("SUCCESS"));
}

QTEST_MAIN(TestLogExport)
#include "tst_log_export.moc"

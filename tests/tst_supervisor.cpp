// The supervisor: it holds the panel's registration connection on loopback and logs when the
// connection ends, whether the panel quit, crashed or was killed.

#include "support/built_program.h"

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Supervisor {
    QProcess process;
    QByteArray output;
    quint16 port = 0;

    bool start() {
        process.setProcessChannelMode(QProcess::MergedChannels);
        startProgram(process, builtProgram("tools/supervisor/h2-supervisor"), {"--port", "0"});
        const QString text = waitForOutput(process, output, R"(listening on 127\.0\.0\.1:(\d+)$)");
        port = text.toUShort();
        return port != 0;
    }
    QString waitFor(const QString& pattern) { return waitForOutput(process, output, pattern); }
    ~Supervisor() {
        process.kill();
        process.waitForFinished();
    }
};

} // namespace

class TestSupervisor : public QObject {
    Q_OBJECT

private slots:
    void registrationsAreLoggedUntilTheyClose();
    void refusesBadArguments_data();
    void refusesBadArguments();
    void reportsABusyPort();
    void panelRegistersAndItsEndIsLogged_data();
    void panelRegistersAndItsEndIsLogged();
};

void TestSupervisor::registrationsAreLoggedUntilTheyClose() {
    Supervisor supervisor;
    QVERIFY2(supervisor.start(), supervisor.output);

    QTcpSocket first, second;
    first.connectToHost(QHostAddress::LocalHost, supervisor.port);
    QVERIFY(first.waitForConnected(10000));
    QVERIFY(!supervisor.waitFor("panel registered: connection 1 from 127.0.0.1:\\d+").isEmpty());
    second.connectToHost(QHostAddress::LocalHost, supervisor.port);
    QVERIFY(second.waitForConnected(10000));
    QVERIFY(!supervisor.waitFor("panel registered: connection 2 from").isEmpty());

    // Stray data on a registration is dropped, not a reason to close it.
    first.write(QByteArray(100000, 'x'));
    QVERIFY(first.waitForBytesWritten(10000));

    // The later connection ends first: each end is reported for its own connection.
    second.disconnectFromHost();
    QVERIFY2(!supervisor.waitFor("panel connection 2 closed: the panel has ended").isEmpty(),
             supervisor.output);
    QVERIFY(!supervisor.output.contains("connection 1 closed"));
    QCOMPARE(first.state(), QAbstractSocket::ConnectedState);

    first.abort(); // a reset, as when the panel crashes
    QVERIFY2(!supervisor.waitFor("panel connection 1 closed: the panel has ended").isEmpty(),
             supervisor.output);
    QCOMPARE(supervisor.process.state(), QProcess::Running);
}

void TestSupervisor::refusesBadArguments_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("port not a number") << QStringList{"--port", "99x"};
    QTest::newRow("port too large") << QStringList{"--port", "65536"};
    QTest::newRow("negative port") << QStringList{"--port", "-1"};
    QTest::newRow("port missing") << QStringList{"--port"};
    QTest::newRow("empty port") << QStringList{"--port", ""};
    QTest::newRow("unknown option") << QStringList{"--address", "0.0.0.0"};
}

void TestSupervisor::refusesBadArguments() {
    QFETCH(QStringList, args);
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    startProgram(process, builtProgram("tools/supervisor/h2-supervisor"), args);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAll().contains("usage: h2-supervisor"));
}

void TestSupervisor::reportsABusyPort() {
    QTcpServer holder;
    QVERIFY(holder.listen(QHostAddress::LocalHost, 0));
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    startProgram(process, builtProgram("tools/supervisor/h2-supervisor"),
                 {"--port", QString::number(holder.serverPort())});
    QVERIFY(process.waitForFinished(60000));
    const QByteArray output = process.readAll();
    QCOMPARE(process.exitCode(), 1);
    QVERIFY2(
        output.contains("cannot listen on 127.0.0.1:" + QByteArray::number(holder.serverPort())),
        output);
}

void TestSupervisor::panelRegistersAndItsEndIsLogged_data() {
    QTest::addColumn<bool>("killed");
    QTest::newRow("panel quits") << false;
    QTest::newRow("panel is killed") << true;
}

// The real panel process registers at start-up; its end, clean or not, closes the connection.
void TestSupervisor::panelRegistersAndItsEndIsLogged() {
    QFETCH(bool, killed);
    const QString binary = builtProgram("h2");
    QVERIFY2(QFile::exists(binary), qPrintable(binary));
    Supervisor supervisor;
    QVERIFY2(supervisor.start(), supervisor.output);

    QTemporaryDir root, work;
    QProcess panel;
    panel.setWorkingDirectory(work.path());
    panel.setProcessChannelMode(QProcess::MergedChannels);
    startPanel(panel, binary, root.path(),
               {"--quit-after", killed ? "600000" : "5000", "--control-port", "0", "--data-port",
                "0", "--supervisor-port", QString::number(supervisor.port)});
    QVERIFY2(!supervisor.waitFor("panel registered: connection 1 from 127.0.0.1").isEmpty(),
             supervisor.output);
    QVERIFY(!supervisor.output.contains("closed"));
    if (killed)
        panel.kill();
    QVERIFY(panel.waitForFinished(60000));
    const QByteArray panelLog = panel.readAll();
    QVERIFY2(!supervisor.waitFor("panel connection 1 closed: the panel has ended").isEmpty(),
             supervisor.output);
    if (!killed) {
        QVERIFY2(panel.exitCode() == 0, panelLog);
        QVERIFY2(panelLog.contains("connect to the server fd"), panelLog);
    }
}

QTEST_GUILESS_MAIN(TestSupervisor)
#include "tst_supervisor.moc"

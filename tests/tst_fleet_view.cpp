// The fleet viewer: its model fed with the broker's messages as literal text, the port
// colours, and one run against a real broker with made-up cabinets publishing.

#include "fleet/fleet_config.h"
#include "fleet/mqtt_client.h"
#include "fleet_model.h"
#include "fleet_window.h"
#include "port_grid.h"
#include "sim_cabinet.h"
#include "support/built_program.h"
#include "support/local_broker.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTableView>
#include <QtTest>

using namespace fleet;

namespace {

const QByteArray kStatus = R"({"mode":3,"connected":true,"counters":{"working":2,"passed":95,)"
                           R"("failed":5},"ports":[[1,3,100,"green"],[2,1,42,"grey"]]})";

// "[retained ]topic payload" lines, each arriving at 10 s; the model's clock stands at 12 s.
FleetModel* feed(FleetModel& model, const QString& lines) {
    for (QString line : lines.split('\n', Qt::SkipEmptyParts)) {
        const bool retained = line.startsWith("retained ");
        line.remove(QRegularExpression("^retained "));
        const int space = line.indexOf(' ');
        model.ingest(line.left(space), line.mid(space + 1).toUtf8(), 10000, retained);
    }
    model.setNow(12000);
    return &model;
}

QString rowText(const FleetModel& model, int row) {
    QStringList cells;
    for (int c = 0; c < FleetModel::ColumnCount; ++c)
        cells << model.index(row, c).data().toString();
    return cells.join('|');
}

} // namespace

class FleetViewTest : public QObject {
    Q_OBJECT
private slots:
    void rows_data();
    void rows();
    void garbage_data();
    void garbage();
    void portColours_data();
    void portColours();
    void texts_data();
    void texts();
    void simulatorSpeaksTheFleetFormat();
    void windowShowsTheChosenCabinetsPorts();
    void brokerAndCabinetsEndToEnd();
};

void FleetViewTest::rows_data() {
    QTest::addColumn<QString>("messages");
    QTest::addColumn<QString>("row"); // row 0, every column
    const QString status = "h2/line3-a/status " + kStatus;
    QTest::newRow("status") << status
                            << "line3-a|-|full-disk copy and compare|2|95|5|95.0 %|0|-|2 s";
    QTest::newRow("online") << "h2/b/online true"
                            << "b|online|-|-|-|-|-|0|-|-";
    QTest::newRow("last will after online") << "h2/b/online true\nh2/b/online false"
                                            << "b|offline|-|-|-|-|-|0|-|-";
    QTest::newRow("nothing finished, unknown mode")
        << R"(h2/c/status {"mode":99,"counters":{"working":4,"passed":0,"failed":0}})"
        << "c|-|mode 99|4|0|0|-|0|-|2 s";
    const QString stamped = R"(h2/e/status {"time":"1970-01-01T08:00:04+08:00","mode":0,)"
                            R"("counters":{"working":0,"passed":0,"failed":0}})";
    QTest::newRow("retained status as old as its time")
        << "retained " + stamped << "e|-|H2 test|0|0|0|-|0|-|8 s";
    QTest::newRow("live status as old as its arrival") << stamped << "e|-|H2 test|0|0|0|-|0|-|2 s";
    QTest::newRow("result")
        << R"(h2/d/results {"id":5,"record":{"port":7,"result_key":"write_error"}})"
        << "d|-|-|-|-|-|-|1|port 7: write_error|-";
    QTest::newRow("result without key shows the verdict")
        << R"(h2/d/results {"id":5,"record":{"port":9,"result_key":null,"verdict":"fail"}})"
        << "d|-|-|-|-|-|-|1|port 9: fail|-";
    QTest::newRow("repeated id counts once")
        << "h2/d/results {\"id\":5,\"record\":{\"port\":7,\"result_key\":\"pass\"}}\n"
           "h2/d/results {\"id\":6,\"record\":{\"port\":8,\"result_key\":\"pass\"}}\n"
           "h2/d/results {\"id\":5,\"record\":{\"port\":7,\"result_key\":\"pass\"}}"
        << "d|-|-|-|-|-|-|2|port 8: pass|-";
    QTest::newRow("garbage keeps the last good status")
        << status + "\nh2/line3-a/status {\"mode\":\"0\"}\nh2/line3-a/online maybe"
        << "line3-a|-|full-disk copy and compare|2|95|5|95.0 %|0|-|2 s";
}

void FleetViewTest::rows() {
    QFETCH(QString, messages);
    QFETCH(QString, row);
    FleetModel model;
    feed(model, messages);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(rowText(model, 0), row);
}

void FleetViewTest::garbage_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("counted"); // as garbage; a foreign topic is only ignored
    QTest::newRow("not json") << "h2/a/status {mode:3" << 1;
    QTest::newRow("array") << "h2/a/status [1,2]" << 1;
    QTest::newRow("mode text")
        << R"(h2/a/status {"mode":"3","counters":{"working":1,"passed":1,"failed":1}})" << 1;
    QTest::newRow("mode fraction")
        << R"(h2/a/status {"mode":2.5,"counters":{"working":1,"passed":1,"failed":1}})" << 1;
    QTest::newRow("no counters") << R"(h2/a/status {"mode":3})" << 1;
    QTest::newRow("port progress text")
        << R"(h2/a/status {"mode":3,"counters":{"working":1,"passed":1,"failed":1},"ports":[[1,3,"9","red"]]})"
        << 1;
    QTest::newRow("connected number")
        << R"(h2/a/status {"mode":3,"connected":1,"counters":{"working":1,"passed":1,"failed":1}})"
        << 1;
    QTest::newRow("time number")
        << R"(h2/a/status {"time":5,"mode":3,"counters":{"working":1,"passed":1,"failed":1}})" << 1;
    QTest::newRow("online word") << "h2/a/online yes" << 1;
    QTest::newRow("id text") << R"(h2/a/results {"id":"7","record":{}})" << 1;
    QTest::newRow("no record") << R"(h2/a/results {"id":7})" << 1;
    QTest::newRow("port text") << R"(h2/a/results {"id":7,"record":{"port":"7"}})" << 1;
    QTest::newRow("foreign topic") << "h2/a/status/extra {}" << 0;
    QTest::newRow("no cabinet") << "h2//online true" << 0;
}

void FleetViewTest::garbage() {
    QFETCH(QString, message);
    QFETCH(int, counted);
    FleetModel model;
    QSignalSpy spy(&model, &FleetModel::garbageCountChanged);
    feed(model, message);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.garbageCount(), counted);
    QCOMPARE(spy.count(), counted);
}

void FleetViewTest::portColours_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("colour");
    QTest::newRow("grey") << "grey"
                          << "#dad7d3";
    QTest::newRow("green") << "green"
                           << "#b3ffe6";
    QTest::newRow("red") << "red"
                         << "#ffb3b3";
    QTest::newRow("orange") << "orange"
                            << "#ff6100";
    QTest::newRow("white") << "white"
                           << "#ffffff";
    QTest::newRow("yellow") << "yellow"
                            << "#ffff00";
    QTest::newRow("unknown") << "greenish"
                             << "";
}

void FleetViewTest::portColours() {
    QFETCH(QString, name);
    QFETCH(QString, colour);
    const QColor c = portColour(name);
    QCOMPARE(c.isValid() ? c.name() : QString(), colour);

    // The cell as the grid paints it, away from its texts and its progress bar.
    PortGrid grid;
    grid.resize(200, 172);
    grid.setPorts("a", {PortCell{1, 3, 0, name}});
    const QImage image = grid.grab().toImage();
    QCOMPARE(QColor(image.pixel(190, 30)).name(), c.isValid() ? colour : "#ffffff");
}

void FleetViewTest::texts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("yield") << yieldText(2, 1) << "66.7 %";
    QTest::newRow("yield all failed") << yieldText(0, 3) << "0.0 %";
    QTest::newRow("age below a minute") << ageText(59999) << "59 s";
    QTest::newRow("age a minute") << ageText(60000) << "1 min";
    QTest::newRow("age hours") << ageText(7300000) << "2 h";
    QTest::newRow("columns 48 wide") << QString::number(gridColumns(48, 840, 480)) << "8";
    QTest::newRow("columns 121") << QString::number(gridColumns(121, 1100, 600)) << "13";
    QTest::newRow("columns one row") << QString::number(gridColumns(4, 1000, 100)) << "4";
    auto broker = [](const QString& text) {
        QString host;
        int port = 0;
        return parseBrokerOption(text, &host, &port) ? QStringLiteral("%1 %2").arg(host).arg(port)
                                                     : QStringLiteral("refused");
    };
    QTest::newRow("broker host") << broker("mq.example") << "mq.example 1883";
    QTest::newRow("broker port") << broker("127.0.0.1:8883") << "127.0.0.1 8883";
    QTest::newRow("broker port 0") << broker("127.0.0.1:0") << "refused";
    QTest::newRow("broker port text") << broker("h:mqtt") << "refused";
    QTest::newRow("broker no host") << broker(":1883") << "refused";
    QTest::newRow("broker port range")
        << broker("h:1") + ',' + broker("h:65535") + ',' + broker("h:65536") + ',' + broker("h:")
        << "h 1,h 65535,refused,refused";
    QTest::newRow("broker v6") << broker("[::1]:8883") + ',' + broker("[::1]:") + ',' +
                                      broker("[::1]x") + ',' + broker("[::1")
                               << "::1 8883,refused,refused,refused";
}

void FleetViewTest::texts() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

void FleetViewTest::simulatorSpeaksTheFleetFormat() {
    SimCabinet cabinet("line3-a", 48, 3, 7);
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1765080000, Qt::OffsetFromUTC, 8 * 3600);
    QVector<QByteArray> results;
    for (int second = 0; second < 40; ++second)
        results += cabinet.step(now);
    const auto status = parseStatus(cabinet.statusPayload(now));
    QVERIFY(status);
    QCOMPARE(status->mode, 3);
    QCOMPARE(status->ports.size(), 48);
    QCOMPARE(status->ports.last().number, 48);
    const QJsonObject whole = QJsonDocument::fromJson(cabinet.statusPayload(now)).object();
    QCOMPARE(whole["time"].toString(), "2025-12-07T12:00:00+08:00");
    QCOMPARE(whole["layout"].toString(), "copier");
    QCOMPARE(whole.keys().join(','),
             "cabinet,connected,counters,engine_time,engine_version,layout,mode,panel_version,"
             "ports,profile,time,totals");

    QVERIFY(results.size() > 10);
    for (int i = 0; i < results.size(); ++i) {
        const auto note = parseResult(results[i]);
        QVERIFY(note);
        QCOMPARE(note->id, qint64(i + 1));
        const QJsonObject record =
            QJsonDocument::fromJson(results[i]).object()["record"].toObject();
        QCOMPARE(record.size(), 36); // one key per journal column
        QCOMPARE(record["cabinet"].toString(), "line3-a");
    }
}

void FleetViewTest::windowShowsTheChosenCabinetsPorts() {
    FleetModel model;
    FleetWindow window(&model, "127.0.0.1:1883");
    auto* table = window.findChild<QTableView*>();
    auto* grid = window.findChild<PortGrid*>();
    QVERIFY(table && grid);
    feed(model, "h2/b/status " + kStatus);
    QCOMPARE(grid->ports().size(), 2); // the first cabinet is shown at once
    feed(model, R"(h2/a/status {"mode":0,"counters":{"working":0,"passed":0,"failed":0},)"
                R"("ports":[[7,0,0,"grey"]]})");
    QCOMPARE(table->currentIndex().row(), 1); // still b, now below a
    QCOMPARE(grid->ports().size(), 2);
    table->setCurrentIndex(model.index(0, 0));
    QCOMPARE(grid->ports().size(), 1);
    QCOMPARE(grid->ports()[0].number, 7);
    feed(model, R"(h2/a/status {"mode":0,"counters":{"working":1,"passed":0,"failed":0},)"
                R"("ports":[[7,1,30,"grey"]]})");
    QCOMPARE(grid->ports()[0].progress, 30); // a new status of the shown cabinet redraws it
}

void FleetViewTest::brokerAndCabinetsEndToEnd() {
    LocalBroker broker;
    QVERIFY(broker.start());
    FleetModel model;
    ClientSettings settings;
    settings.host = "127.0.0.1";
    settings.port = broker.port();
    settings.clientId = "fleet-view-test";
    settings.subscriptions = QStringList{"h2/#"};
    MqttClient client(settings);
    connect(&client, &MqttClient::messageArrived, &model, &FleetModel::ingest);
    QString error;
    QVERIFY2(client.start(&error), qPrintable(error));

    QProcess sim;
    startProgram(sim, builtProgram("tools/fleet-view/fleet-sim"),
                 {"--broker", QStringLiteral("127.0.0.1:%1").arg(broker.port()), "--cabinets", "2",
                  "--name", "line3", "--interval", "100"});
    const auto cell = [&model](int row, int column) {
        return model.index(row, column).data().toString();
    };
    QTRY_COMPARE_WITH_TIMEOUT(model.rowCount(), 2, 10000);
    QCOMPARE(model.cabinetAt(0), "line3-01");
    QCOMPARE(model.cabinetAt(1), "line3-02");
    QTRY_COMPARE_WITH_TIMEOUT(cell(0, FleetModel::ColOnline), "online", 10000);
    QTRY_COMPARE_WITH_TIMEOUT(cell(1, FleetModel::ColMode), "full-disk copy and compare", 10000);
    QCOMPARE(model.ports(1).size(), 48);
    QTRY_VERIFY_WITH_TIMEOUT(cell(0, FleetModel::ColResults).toInt() > 0, 15000);
    QVERIFY(cell(0, FleetModel::ColLastResult).startsWith("port "));

    // Killed, the cabinets cannot say goodbye: the broker's last will does.
    sim.kill();
    sim.waitForFinished();
    QTRY_COMPARE_WITH_TIMEOUT(cell(0, FleetModel::ColOnline), "offline", 10000);
    QTRY_COMPARE_WITH_TIMEOUT(cell(1, FleetModel::ColOnline), "offline", 10000);
    QCOMPARE(model.garbageCount(), 0);
    client.stop();
}

QTEST_MAIN(FleetViewTest)
#include "tst_fleet_view.moc"

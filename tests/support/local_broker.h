#pragma once
// A mosquitto of its own on a free loopback port with a scratch configuration, stopped with
// the object; never the machine's broker.

#include "support/built_program.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <unistd.h>

class LocalBroker {
public:
    ~LocalBroker() {
        mProcess.kill();
        mProcess.waitForFinished();
    }
    // False when it does not accept connections within 5 s.
    bool start() {
        mPort = unusedPort();
        const QString config = mDir.filePath("mosquitto.conf");
        QFile file(config);
        if (!mPort || !file.open(QIODevice::WriteOnly))
            return false;
        // As root, mosquitto would switch to its own user unless told to stay.
        file.write(QStringLiteral("listener %1 127.0.0.1\nallow_anonymous true\n"
                                  "persistence false\n%2")
                       .arg(mPort)
                       .arg(geteuid() == 0 ? "user root\n" : "")
                       .toUtf8());
        file.close();
        mProcess.start(QStandardPaths::findExecutable("mosquitto", {"/usr/sbin", "/usr/bin"}),
                       {"-c", config});
        for (int i = 0; i < 50 && mProcess.waitForStarted(); ++i) {
            QTcpSocket probe;
            probe.connectToHost("127.0.0.1", mPort);
            if (probe.waitForConnected(100))
                return true;
            QThread::msleep(100);
        }
        return false;
    }
    quint16 port() const { return mPort; }
    qint64 pid() const { return mProcess.processId(); }

private:
    QTemporaryDir mDir;
    QProcess mProcess;
    quint16 mPort = 0;
};

#pragma once
// A mosquitto of its own on 127.0.0.1 and a free port with a scratch configuration, stopped
// with the object; never the machine's broker. Anonymous unless users are added before the
// first start. It keeps its sessions and queued messages across a stop and a start on the
// same port, as a broker restarted by its administrator does.

#include "support/built_program.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <signal.h>
#include <unistd.h>

class LocalBroker {
public:
    ~LocalBroker() { stop(); }

    // Adds or changes a user; a running broker reads its password file again.
    void setUser(const QString& user, const QString& password) {
        const QString file = mDir.filePath("passwords");
        QStringList args{"-b", file, user, password};
        if (!QFile::exists(file))
            args.prepend("-c");
        QProcess::execute("mosquitto_passwd", args);
        if (mProcess.state() == QProcess::Running)
            ::kill(pid_t(mProcess.processId()), SIGHUP);
    }

    // Starts it (again on the same port after stop()); false when it is not running within 20 s.
    bool start() {
        if (!mPort && !(mPort = unusedPort()))
            return false;
        const QString dir = mDir.path();
        const bool users = QFile::exists(mDir.filePath("passwords"));
        QFile config(mDir.filePath("mosquitto.conf"));
        if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        // As root, mosquitto would switch to its own user unless told to stay.
        config.write(
            QString::asprintf("listener %d 127.0.0.1\nallow_anonymous %s\n%s"
                              "persistence true\npersistence_location %s/\n"
                              "log_dest file %s/log\n%s",
                              mPort, users ? "false" : "true",
                              users ? qPrintable("password_file " + dir + "/passwords\n") : "",
                              qPrintable(dir), qPrintable(dir), geteuid() == 0 ? "user root\n" : "")
                .toUtf8());
        config.close();
        const int runs = log().count(" running");
        mProcess.start("mosquitto", {"-c", config.fileName()});
        const QDeadlineTimer deadline(20000);
        while (mProcess.state() != QProcess::NotRunning && !deadline.hasExpired()) {
            if (log().count(" running") > runs)
                return true;
            QThread::msleep(20);
        }
        return false;
    }
    void stop() {
        mProcess.terminate();
        mProcess.waitForFinished();
    }

    quint16 port() const { return mPort; }
    qint64 pid() const { return mProcess.processId(); }
    QByteArray log() const {
        QFile file(mDir.filePath("log"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir mDir;
    QProcess mProcess;
    quint16 mPort = 0;
};

// h2-supervisor: the local service the panel registers with at start-up. The panel opens one
// TCP connection to 127.0.0.1:9999 and never sends on it; the connection closing is how the
// supervisor learns that the panel has ended (crashed, killed or stopped).
//
//   h2-supervisor [--port N]     (default 9999; 0 picks a free port and logs it)

#include <QCoreApplication>
#include <QDateTime>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// One whole line per call: under systemd stdout is a pipe to the journal.
void logLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
void logLine(const char* format, ...) {
    char message[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    const QByteArray stamp =
        QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss.zzz").toLatin1();
    std::printf("%s %s\n", stamp.constData(), message);
    std::fflush(stdout);
}

bool parsePort(int argc, char** argv, int* port) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*argv[i] == '\0' || *end != '\0' || value < 0 || value > 65535)
                return false;
            *port = static_cast<int>(value);
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int port = 9999;
    if (!parsePort(argc, argv, &port)) {
        std::fprintf(stderr, "usage: h2-supervisor [--port N]\n");
        return 2;
    }
    QCoreApplication app(argc, argv);

    // Only the panel on this machine registers: listen on loopback alone.
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, static_cast<quint16>(port))) {
        logLine("cannot listen on 127.0.0.1:%d: %s", port,
                server.errorString().toLocal8Bit().constData());
        return 1;
    }
    logLine("listening on 127.0.0.1:%u", server.serverPort());

    int nextId = 1;
    QObject::connect(&server, &QTcpServer::newConnection, [&server, &nextId] {
        while (QTcpSocket* panel = server.nextPendingConnection()) {
            const int id = nextId++;
            logLine("panel registered: connection %d from %s:%u", id,
                    panel->peerAddress().toString().toLatin1().constData(), panel->peerPort());
            // The panel sends nothing; anything that arrives is dropped so it cannot pile up.
            QObject::connect(panel, &QTcpSocket::readyRead, panel, [panel] { panel->readAll(); });
            QObject::connect(panel, &QTcpSocket::disconnected, panel, [panel, id] {
                logLine("panel connection %d closed: the panel has ended", id);
                panel->deleteLater();
            });
        }
    });
    return app.exec();
}

// engine-sim: the engine board of the h2 panel, played over loopback.

#include "engine_session.h"
#include "sim_options.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    sim::Options options;
    QString error;
    bool help = false;
    if (!sim::parseOptions(app.arguments(), &options, &error, &help)) {
        fprintf(help ? stdout : stderr, "%s\n", qPrintable(error));
        return help ? 0 : 2;
    }
    if (options.backToBack) {
        const long long blocks =
            sim::sendBackToBack(options, options.seconds ? options.seconds : 5);
        sim::say("back to back: %lld blocks sent", blocks);
        return blocks < 0 ? 1 : 0;
    }
    sim::EngineSession session(options);
    session.start();
    if (options.seconds > 0)
        QTimer::singleShot(options.seconds * 1000, &app, &QCoreApplication::quit);
    return app.exec();
}

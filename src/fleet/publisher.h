#pragma once
// Publishes this cabinet to an MQTT broker: online flag, status and finished devices. All of
// it runs on a thread of its own and the client library's network thread; nothing here ever
// makes the GUI thread or the link thread wait for the network.

#include "fleet/fleet_config.h"

#include <QThread>
#include <functional>

namespace results {
class ResultSource;
}

namespace fleet {

class Client;

class Publisher {
public:
    // `results` may be null (no results to publish); `linkUp` tells whether the engine board's
    // link is up and is called on the publisher's thread.
    Publisher(const BrokerConfig& config, results::ResultSource* results,
              std::function<bool()> linkUp);
    // A clean stop: "false" on the online topic, then the connection closes.
    ~Publisher();
    Publisher(const Publisher&) = delete;
    Publisher& operator=(const Publisher&) = delete;

    void start();

private:
    QThread mThread;
    Client* mClient;
};

// Topics of a cabinet.
QByteArray topic(const QString& cabinet, const char* leaf);

} // namespace fleet

#pragma once
// Publishes this cabinet to an MQTT broker: online flag, status and finished devices. All of
// it runs on a thread of its own and the client library's network thread; nothing here ever
// makes the GUI thread or the link thread wait for the network.

#include "fleet/fleet_config.h"
#include "link/status_block.h"

#include <QThread>
#include <functional>

namespace results {
class ResultSource;
}

namespace fleet {

class Client;

// The status block the publisher describes, taken on its thread.
using StatusSource = std::function<StatusBlock()>;
// A copy of the global block the link thread writes.
StatusBlock globalStatus();

class Publisher {
public:
    // `results` may be null (no results to publish); `linkUp` tells whether the engine board's
    // link is up; both it and `status` are called on the publisher's thread.
    Publisher(const BrokerConfig& config, results::ResultSource* results,
              std::function<bool()> linkUp, StatusSource status = globalStatus);
    // A clean stop: "false" on the online topic, then the connection closes.
    ~Publisher();
    Publisher(const Publisher&) = delete;
    Publisher& operator=(const Publisher&) = delete;

    void start();

private:
    QThread mThread;
    Client* mClient;
};

} // namespace fleet

#pragma once
// Where this cabinet publishes: the broker, the cabinet's name and the credentials, from the
// INI file and the command line.

#include <QString>

namespace fleet {

constexpr const char* kConfigFile = "/etc/h2/fleet.ini";
constexpr int kDefaultPort = 1883;

struct BrokerConfig {
    QString host;
    int port = kDefaultPort;
    QString cabinet; // the topic level h2/<cabinet>/...
    QString user;    // empty: anonymous
    QString password;
    QString caFile;         // set: TLS with this CA
    bool anyBroker = false; // the board: a broker anywhere; elsewhere 127.0.0.0/8 only
};

struct ConfigResult {
    bool enabled = false; // false with an empty error: nothing configured
    BrokerConfig config;
    QString error; // why a configuration was refused
};

// HOST or HOST:PORT ([v6-address]:PORT for an IPv6 literal); false when malformed.
bool parseBrokerOption(const QString& text, QString* host, int* port);

// The INI file at `file` (absent: nothing configured) with the command line's broker option
// (empty: none) on top; `hostName` is the cabinet's name unless the file gives one.
ConfigResult readConfig(const QString& file, const QString& brokerOption, const QString& hostName);

} // namespace fleet

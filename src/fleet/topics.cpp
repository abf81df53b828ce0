#include "fleet/topics.h"

#include <QStringList>

namespace fleet {

namespace {
const struct {
    const char* name;
    Channel channel;
} kChannels[] = {
    {"online", Channel::Online},
    {"status", Channel::Status},
    {"results", Channel::Results},
};
} // namespace

QString topic(const QString& cabinet, Channel channel) {
    for (const auto& c : kChannels) {
        if (c.channel == channel)
            return QStringLiteral("h2/%1/%2").arg(cabinet, QLatin1String(c.name));
    }
    return QString();
}

std::optional<Topic> parseTopic(const QString& topic) {
    const QStringList parts = topic.split(QLatin1Char('/'));
    if (parts.size() != 3 || parts[0] != QLatin1String("h2") || parts[1].isEmpty())
        return std::nullopt;
    for (const auto& c : kChannels) {
        if (parts[2] == QLatin1String(c.name))
            return Topic{parts[1], c.channel};
    }
    return std::nullopt;
}

} // namespace fleet

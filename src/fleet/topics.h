#pragma once
// The fleet's topics, "h2/<cabinet>/<channel>", as the publisher writes and the viewer reads them.

#include <QString>
#include <optional>

namespace fleet {

enum class Channel { Online, Status, Results };

struct Topic {
    QString cabinet;
    Channel channel;
};

QString topic(const QString& cabinet, Channel channel);
// nullopt for any topic that is not a cabinet's channel.
std::optional<Topic> parseTopic(const QString& topic);

} // namespace fleet

#include "fleet/fleet_config.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace fleet {

namespace {
bool parsePortText(const QString& text, int* port) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 1 || value > 65535)
        return false;
    *port = value;
    return true;
}

// QSettings splits a value at its commas; a password may have some.
QString text(const QSettings& ini, const char* key) {
    const QVariant value = ini.value(QLatin1String(key));
    if (value.type() == QVariant::StringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString().trimmed();
}

// A topic level: no separators or wildcards of the broker's topic syntax.
bool validCabinet(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) &&
           !name.contains(QLatin1Char('+')) && !name.contains(QLatin1Char('#'));
}
} // namespace

bool parseBrokerOption(const QString& text, QString* host, int* port) {
    QString h = text;
    QString p;
    if (text.startsWith(QLatin1Char('['))) {
        const int close = text.indexOf(QLatin1Char(']'));
        if (close < 0)
            return false;
        h = text.mid(1, close - 1);
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':')) || rest.size() == 1)
                return false;
            p = rest.mid(1);
        }
    } else if (text.count(QLatin1Char(':')) == 1) {
        h = text.section(QLatin1Char(':'), 0, 0);
        p = text.section(QLatin1Char(':'), 1);
        if (p.isEmpty())
            return false;
    }
    int number = kDefaultPort;
    if (h.isEmpty() || (!p.isEmpty() && !parsePortText(p, &number)))
        return false;
    *host = h;
    *port = number;
    return true;
}

ConfigResult readConfig(const QString& file, const QString& brokerOption, const QString& hostName) {
    ConfigResult result;
    BrokerConfig& c = result.config;
    c.cabinet = hostName;
    const QFileInfo info(file);
    if (info.exists()) {
        if (info.isDir() || !info.isReadable()) {
            result.error = QStringLiteral("cannot read the file");
            return result;
        }
        QSettings ini(file, QSettings::IniFormat);
        ini.setIniCodec("UTF-8");
        if (ini.status() != QSettings::NoError) {
            result.error = QStringLiteral("not an INI file");
            return result;
        }
        c.host = text(ini, "host");
        const QString port = text(ini, "port");
        if (!port.isEmpty() && !parsePortText(port, &c.port) && brokerOption.isEmpty()) {
            result.error = QStringLiteral("bad port \"%1\"").arg(port);
            return result;
        }
        if (ini.contains(QStringLiteral("cabinet")))
            c.cabinet = text(ini, "cabinet");
        c.user = text(ini, "user");
        c.password = text(ini, "password");
        c.caFile = text(ini, "ca_file");
        if (c.host.isEmpty() && brokerOption.isEmpty()) {
            result.error = QStringLiteral("no host");
            return result;
        }
    } else if (brokerOption.isEmpty()) {
        return result;
    }
    if (!brokerOption.isEmpty() && !parseBrokerOption(brokerOption, &c.host, &c.port)) {
        result.error = QStringLiteral("bad broker \"%1\"").arg(brokerOption);
        return result;
    }
    if (!validCabinet(c.cabinet)) {
        result.error = QStringLiteral("bad cabinet name \"%1\"").arg(c.cabinet);
        return result;
    }
    result.enabled = true;
    return result;
}

} // namespace fleet

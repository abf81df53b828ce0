#pragma once
// The fleet's topics and payloads as the viewer reads them, and the texts it shows: pure
// functions, so the model and its tests need neither a broker nor widgets.

#include "fleet/topics.h"

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QVector>
#include <optional>

namespace fleet {

struct PortCell {
    int number = 0;   // as the operator numbers it
    int status = 0;   // the engine's state of the port
    int progress = 0; // percent
    QString colour;   // name of the frame's background
};

struct CabinetStatus {
    qint64 timeMs = -1; // the panel's clock when it published, ms since 1970; -1 unknown
    int mode = 0;
    bool connected = false;
    int working = 0;
    int passed = 0;
    int failed = 0;
    QVector<PortCell> ports;
};

struct ResultNote {
    qint64 id = 0;
    int port = 0; // 0 when the record has none
    QString key;  // result key, else the verdict, else empty
};

// Each parser refuses (nullopt) a payload that is not the expected JSON or has a field of
// the wrong type; absent optional fields take their defaults.
std::optional<bool> parseOnline(const QByteArray& payload);
std::optional<CabinetStatus> parseStatus(const QByteArray& payload);
std::optional<ResultNote> parseResult(const QByteArray& payload);

// "H2 test", "full-disk copy and compare", ...; "mode N" for a mode the panel lacks.
QString modeText(int mode);
// Passed share of the finished devices, "96.2 %"; "-" when none finished.
QString yieldText(int passed, int failed);
// "12 s", "3 min", "2 h"; "-" for a negative age (nothing seen yet).
QString ageText(qint64 ms);
// "port 7: write_error"
QString resultText(const ResultNote& note);
// The background of a panel frame named `name`; an invalid colour for an unknown name.
QColor portColour(const QString& name);

} // namespace fleet

#pragma once
// One finished device as the journal stores, shows, exports and publishes it. The column
// table is the one place that names the journal's columns: the SQLite table, the CSV header
// and the published JSON all follow it in this order.

#include <QJsonObject>
#include <QVariant>
#include <QVector>
#include <cstdint>
#include <string_view>

namespace results {

struct Column {
    const char* name;    // SQL column, CSV header field and JSON key
    const char* sqlType; // INTEGER, REAL or TEXT
};

// Figures a port's record layout lacks stay NULL (an empty CSV field, JSON null).
inline constexpr Column kColumns[] = {
    {"panel_time", "TEXT"},     // panel's local time, ISO 8601 with offset
    {"engine_time", "INTEGER"}, // engine's clock, seconds since 1970 UTC
    {"cabinet", "TEXT"},        // host name
    {"ports", "INTEGER"},       // machine profile
    {"machine_type", "INTEGER"},
    {"board_model", "INTEGER"},
    {"machine_variant", "INTEGER"},
    {"mode", "INTEGER"},    // work mode
    {"layout", "TEXT"},     // "tester", "copier" or "burnin"
    {"port", "INTEGER"},    // as the operator sees it
    {"status", "INTEGER"},  // the engine's final state of the port
    {"verdict", "TEXT"},    // "pass" or "fail"
    {"result_key", "TEXT"}, // stable English key, e.g. "write_error", "capacity_short"
    {"capacity_bytes", "INTEGER"},
    {"file_system", "TEXT"}, // tester: "FAT16", "FAT32", "exFAT"
    {"write_speed", "REAL"}, // bytes per second
    {"read_speed", "REAL"},  // bytes per second
    {"write_time_ms", "INTEGER"},
    {"read_time_ms", "INTEGER"},
    {"bad_bytes", "INTEGER"},
    {"grade_index", "INTEGER"}, // tester capacity grade, 1..9
    {"grade_colour", "TEXT"},
    {"job_bytes", "INTEGER"}, // copier
    {"copied_bytes", "INTEGER"},
    {"compared_bytes", "INTEGER"},
    {"burnin_pass", "INTEGER"}, // burn-in
    {"error_count1", "INTEGER"},
    {"error_count2", "INTEGER"},
    {"error_count3", "INTEGER"},
    {"first_error_kind", "INTEGER"},
    {"elapsed_s", "INTEGER"},
    {"smart_c5", "INTEGER"},
    {"smart_05", "INTEGER"},
    {"smart_c3", "INTEGER"},
    {"engine_version", "TEXT"}, // hexadecimal, as the strip shows it
    {"panel_version", "TEXT"},
};
inline constexpr int kColumnCount = int(sizeof(kColumns) / sizeof(kColumns[0]));

// Position of a column in kColumns; -1 for a name the table lacks.
constexpr int columnIndex(std::string_view name) {
    for (int i = 0; i < kColumnCount; ++i) {
        if (name == kColumns[i].name)
            return i;
    }
    return -1;
}

// Values in kColumns order; a null QVariant for a figure the layout lacks.
struct ResultRecord {
    QVector<QVariant> values = QVector<QVariant>(kColumnCount);
};

// A record as stored, with the id the journal gave it (published with the record, so a
// subscriber recognises a repeated delivery).
struct StoredResult {
    qint64 id = 0;
    QJsonObject record; // column name -> value, null where empty
};

} // namespace results

#pragma once
// Writes gzip-compressed tar archives member by member, including members real tools would
// never produce (absolute names, "..", links, bad checksums), for the upgrade package tests.

#include <QByteArray>
#include <QString>
#include <vector>

struct TarMember {
    enum Kind { File, Directory, Symlink, Hardlink, Fifo, PaxPath, GnuLongName };
    TarMember(Kind k, QByteArray n, QByteArray d = {}, int m = 0644)
        : kind(k), name(std::move(n)), data(std::move(d)), mode(m) {}

    Kind kind;
    QByteArray name; // for PaxPath the record's key, "path" when empty
    QByteArray data; // file contents; the link target; the long or pax name
    int mode;
};

// Builds the uncompressed tar stream (with the two end blocks).
QByteArray tarStream(const std::vector<TarMember>& members);
// Writes the stream gzip-compressed to `file`; false on failure.
bool writeTarGz(const QString& file, const std::vector<TarMember>& members);
// Writes bytes gzip-compressed to `file`.
bool writeGz(const QString& file, const QByteArray& bytes);

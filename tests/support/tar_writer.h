#pragma once
// Writes gzip-compressed tar archives member by member, including members real tools would
// never write (absolute names, "..", links, bad checksums), for the upgrade package tests.

#include <QByteArray>
#include <QString>

// The uncompressed tar stream, with its two end blocks, of members given as words "T:name"
// or "T:name=data" separated by blanks. T is the member's type: '0' a file holding data (mode
// 0755), '5' a directory, '1' or '2' a hard or symbolic link to data, '6' a fifo, 'x' a pax
// header with the record name=data, 'L' a GNU long name (data) for the next member.
QByteArray tarStream(const QString& members);
// The bytes gzip-compressed.
QByteArray gzipped(const QByteArray& bytes);

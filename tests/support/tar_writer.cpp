#include "support/tar_writer.h"

#include <QProcess>
#include <QStringList>
#include <array>
#include <cstring>

namespace {

// Zero-padded octal in width - 1 digits and a terminating NUL, as ustar numbers are.
void octal(char* field, size_t width, unsigned long long value) {
    field[width - 1] = '\0';
    for (size_t i = width - 1; i-- > 0; value >>= 3)
        field[i] = char('0' + (value & 7));
}

QByteArray header(const QByteArray& name, char type, qint64 size, const QByteArray& link) {
    std::array<char, 512> block{}; // QByteArray's storage would hide the bounds from the compiler
    char* p = block.data();
    // Names over 100 bytes are split into the ustar prefix and name fields.
    const int slash = name.size() > 100 ? name.lastIndexOf('/', 155) : -1;
    memcpy(p + 345, name.constData(), size_t(qMax(slash, 0)));
    const QByteArray shortName = name.mid(slash + 1);
    memcpy(p, shortName.constData(), size_t(qMin(shortName.size(), 100)));
    octal(p + 100, 8, 0755); // owner, group and time stay empty: 0
    octal(p + 124, 12, (unsigned long long)size);
    p[156] = type;
    memcpy(p + 157, link.constData(), size_t(qMin(link.size(), 100)));
    memcpy(p + 257, "ustar\00000", 8); // magic "ustar" and its NUL, version "00"
    memset(p + 148, ' ', 8);
    unsigned sum = 0;
    for (char c : block)
        sum += static_cast<unsigned char>(c);
    octal(p + 148, 7, sum);
    return QByteArray(p, int(block.size()));
}

} // namespace

QByteArray tarStream(const QString& members) {
    QByteArray out;
    for (const QString& word : members.split(' ', Qt::SkipEmptyParts)) {
        const char type = word[0].toLatin1();
        const QByteArray name = word.mid(2).section('=', 0, 0).toUtf8();
        const QByteArray data = word.section('=', 1).toUtf8();
        QByteArray body = type == '0' ? data : type == 'L' ? data + '\0' : QByteArray();
        if (type == 'x') { // "LEN name=data\n", LEN counting the whole record
            const QByteArray record = " " + name + "=" + data + "\n";
            int len = record.size() + 1;
            while (QByteArray::number(len).size() + record.size() != len)
                ++len;
            body = QByteArray::number(len) + record;
        }
        const QByteArray own = type == 'x' ? "PaxHeaders/x" : type == 'L' ? "././@LongLink" : name;
        out += header(own, type, body.size(), type == '1' || type == '2' ? data : QByteArray());
        out += body + QByteArray((512 - body.size() % 512) % 512, '\0');
    }
    return out + QByteArray(1024, '\0');
}

QByteArray gzipped(const QByteArray& bytes) {
    QProcess gzip;
    gzip.start("gzip", {"-c"});
    gzip.write(bytes);
    gzip.closeWriteChannel();
    gzip.waitForFinished(60000);
    return gzip.readAllStandardOutput();
}

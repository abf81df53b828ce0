#include "support/tar_writer.h"

#include <array>
#include <cstring>
#include <zlib.h>

namespace {

// Zero-padded octal in width - 1 digits and a terminating NUL, as ustar numbers are.
void octal(char* field, size_t width, unsigned long long value) {
    field[width - 1] = '\0';
    for (size_t i = width - 1; i-- > 0; value >>= 3)
        field[i] = char('0' + (value & 7));
}

QByteArray header(const QByteArray& name, char type, qint64 size, int mode,
                  const QByteArray& link = QByteArray()) {
    // A plain buffer: the compiler cannot see through QByteArray's storage and warns.
    std::array<char, 512> block{};
    char* p = block.data();
    // Names over 100 bytes are split into the ustar prefix and name fields.
    QByteArray shortName = name;
    if (name.size() > 100) {
        const int slash = name.lastIndexOf('/', 155);
        memcpy(p + 345, name.constData(), size_t(slash));
        shortName = name.mid(slash + 1);
    }
    memcpy(p, shortName.constData(), size_t(qMin(shortName.size(), 100)));
    octal(p + 100, 8, unsigned(mode));
    octal(p + 108, 8, 0);
    octal(p + 116, 8, 0);
    octal(p + 124, 12, (unsigned long long)size);
    octal(p + 136, 12, 1700000000);
    p[156] = type;
    memcpy(p + 157, link.constData(), size_t(qMin(link.size(), 100)));
    memcpy(p + 257, "ustar", 6);
    memcpy(p + 263, "00", 2);
    memset(p + 148, ' ', 8);
    unsigned sum = 0;
    for (int i = 0; i < 512; ++i)
        sum += static_cast<unsigned char>(p[i]);
    octal(p + 148, 7, sum);
    return QByteArray(block.data(), int(block.size()));
}

QByteArray padded(const QByteArray& data) {
    QByteArray out = data;
    if (out.size() % 512)
        out.append(QByteArray(512 - out.size() % 512, '\0'));
    return out;
}

QByteArray paxRecord(const QByteArray& key, const QByteArray& value) {
    const QByteArray body = " " + key + "=" + value + "\n";
    int len = body.size() + 1;
    while (QByteArray::number(len).size() + body.size() != len)
        ++len;
    return QByteArray::number(len) + body;
}

} // namespace

QByteArray tarStream(const std::vector<TarMember>& members) {
    QByteArray out;
    for (const TarMember& m : members) {
        switch (m.kind) {
        case TarMember::File:
            out += header(m.name, '0', m.data.size(), m.mode) + padded(m.data);
            break;
        case TarMember::Directory:
            out += header(m.name, '5', 0, 0755);
            break;
        case TarMember::Symlink:
            out += header(m.name, '2', 0, 0777, m.data);
            break;
        case TarMember::Hardlink:
            out += header(m.name, '1', 0, 0644, m.data);
            break;
        case TarMember::Fifo:
            out += header(m.name, '6', 0, 0644);
            break;
        case TarMember::PaxPath: {
            // The next member is named by the record, whatever its own header says.
            const QByteArray record = paxRecord(m.name.isEmpty() ? "path" : m.name, m.data);
            out += header("PaxHeaders/x", 'x', record.size(), 0644) + padded(record);
            break;
        }
        case TarMember::GnuLongName: {
            const QByteArray name = m.data + '\0';
            out += header("././@LongLink", 'L', name.size(), 0644) + padded(name);
            break;
        }
        }
    }
    return out + QByteArray(1024, '\0');
}

bool writeGz(const QString& file, const QByteArray& bytes) {
    gzFile f = gzopen(file.toLocal8Bit().constData(), "wb");
    if (!f)
        return false;
    const bool ok =
        bytes.isEmpty() || gzwrite(f, bytes.constData(), unsigned(bytes.size())) == bytes.size();
    return gzclose(f) == Z_OK && ok;
}

bool writeTarGz(const QString& file, const std::vector<TarMember>& members) {
    return writeGz(file, tarStream(members));
}

#include "results/csv_export.h"

#include "platform/platform.h"
#include "results/csv.h"
#include "results/reader.h"
#include "results/record.h"
#include "results/schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace results {

namespace {

struct Fault {
    int error;
    const char* text;
};
const Fault kFaults[] = {
    {EROFS, "the stick is read-only"},
    {EACCES, "the stick is read-only"},
    {EPERM, "the stick is read-only"},
    {ENOSPC, "the stick is full"},
    {EFBIG, "the stick is full"},
    {EDQUOT, "the stick is full"},
    {EIO, "the stick was removed or failed"},
    {ENODEV, "the stick was removed or failed"},
    {ENXIO, "the stick was removed or failed"},
    {ENOENT, "the stick was removed or failed"},
    {ENOTDIR, "the stick was removed or failed"},
};

// Writes all of `data`; false with errno set on failure.
bool writeAll(int fd, const QByteArray& data) {
    h2::Platform& p = h2::platform();
    const char* at = data.constData();
    size_t left = size_t(data.size());
    while (left > 0) {
        const long n = p.writeStick(fd, at, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        at += n;
        left -= size_t(n);
    }
    return true;
}

QString columnList() {
    QString list = QStringLiteral("id");
    for (const Column& c : kColumns)
        list += QStringLiteral(", ") + QLatin1String(c.name);
    return list;
}

// The file being written; removes it unless committed.
class PartialFile {
public:
    explicit PartialFile(std::string path) : mPath(std::move(path)) {
        mFd = h2::platform().createStickFile(mPath);
    }
    ~PartialFile() {
        if (mFd >= 0)
            ::close(mFd);
        if (!mCommitted)
            ::unlink(h2::platform().path(mPath).c_str());
    }
    int fd() const { return mFd; }
    // Synced, closed and renamed to `finalPath`; false with errno set.
    bool commit(const std::string& finalPath) {
        if (::fsync(mFd) != 0)
            return false;
        const int fd = mFd;
        mFd = -1;
        if (::close(fd) != 0)
            return false;
        h2::Platform& p = h2::platform();
        if (::rename(p.path(mPath).c_str(), p.path(finalPath).c_str()) != 0)
            return false;
        mCommitted = true;
        return true;
    }

private:
    std::string mPath;
    int mFd = -1;
    bool mCommitted = false;
};

void syncDirectory(const std::string& dir) {
    const int fd = ::open(h2::platform().path(dir).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

QString failure(int error) {
    return QStringLiteral("%1 (%2)").arg(stickFault(error),
                                         QString::fromLocal8Bit(strerror(error)));
}

} // namespace

QString stickFault(int error) {
    for (const Fault& f : kFaults) {
        if (f.error == error)
            return QString::fromLatin1(f.text);
    }
    return QStringLiteral("the stick cannot be written");
}

ExportOutcome exportResultsCsv(const QString& databaseFile, const std::string& dir,
                               const QString& name, const std::function<void(int, int)>& progress,
                               int pageSize) {
    ExportOutcome out;
    ReadConnection connection(databaseFile);
    if (!connection.error().isEmpty()) {
        out.error = QStringLiteral("cannot read the journal: ") + connection.error();
        return out;
    }
    // Records that arrive while the export runs wait for the next one.
    int total = 0;
    qint64 lastId = 0;
    if (connection.hasTable()) {
        QSqlQuery q(connection.database());
        if (!q.exec(QStringLiteral("SELECT COUNT(*), MAX(id) FROM %1").arg(kTable)) || !q.next()) {
            out.error = QStringLiteral("cannot read the journal: ") + q.lastError().text();
            return out;
        }
        total = q.value(0).toInt();
        lastId = q.value(1).toLongLong();
    }

    const std::string finalPath = dir + "/" + name.toStdString();
    PartialFile file(finalPath + ".part");
    if (file.fd() < 0 || !writeAll(file.fd(), csvHeader())) {
        out.error = failure(errno);
        return out;
    }
    if (progress)
        progress(0, total);

    QVector<QVariant> fields(kColumnCount);
    QByteArray page;
    qint64 afterId = 0;
    while (out.records < total) {
        QSqlQuery q(connection.database());
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE id > ? AND id <= ? ORDER BY id LIMIT ?")
                      .arg(columnList(), QLatin1String(kTable)));
        q.addBindValue(afterId);
        q.addBindValue(lastId);
        q.addBindValue(pageSize);
        if (!q.exec()) {
            out.error = QStringLiteral("cannot read the journal: ") + q.lastError().text();
            return out;
        }
        page.clear();
        int rows = 0;
        while (q.next()) {
            afterId = q.value(0).toLongLong();
            for (int i = 0; i < kColumnCount; ++i)
                fields[i] = q.value(i + 1);
            appendCsvRecord(page, fields);
            ++rows;
        }
        if (rows == 0)
            break; // fewer than counted: records pruned meanwhile
        if (!writeAll(file.fd(), page)) {
            out.error = failure(errno);
            return out;
        }
        out.records += rows;
        if (progress)
            progress(out.records, total);
    }
    if (!file.commit(finalPath)) {
        out.error = failure(errno);
        return out;
    }
    syncDirectory(dir);
    out.file = name;
    return out;
}

} // namespace results

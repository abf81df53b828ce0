#include "support/temp_root.h"

#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

TempRoot::TempRoot() {
    // Without its directory the root would be "", and the panel's paths the machine's own.
    if (!mRoot.isValid())
        qFatal("no temporary root: %s", qPrintable(mRoot.errorString()));
    auto platform = h2::makeDesktopPlatform(mRoot.path().toStdString());
    mPlatform = static_cast<h2::DesktopPlatform*>(platform.get());
    h2::setPlatform(std::move(platform));
}

TempRoot::~TempRoot() = default;

void TempRoot::writeFile(const QString& absolute, const QByteArray& contents) const {
    writeAll(path(absolute), contents);
}

TempWorkDir::TempWorkDir() {
    char buf[4096];
    mPrevious = getcwd(buf, sizeof(buf)) ? QByteArray(buf) : QByteArray("/");
    if (chdir(mDir.path().toLocal8Bit().constData()) != 0)
        qFatal("cannot enter %s", qPrintable(mDir.path()));
}

TempWorkDir::~TempWorkDir() {
    (void)!chdir(mPrevious.constData());
}

QByteArray readAll(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& file, const QByteArray& contents) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(file));
    f.write(contents);
}

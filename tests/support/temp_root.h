#pragma once
// A scratch root for the desktop platform and a scratch working directory, for one test.

#include "platform/desktop_platform.h"

#include <QDir>
#include <QTemporaryDir>

inline QByteArray readAll(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeAll(const QString& file, const QByteArray& contents) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(contents) != contents.size())
        qFatal("cannot write %s", qPrintable(file));
}

class TempRoot {
public:
    TempRoot() {
        // Without its directory the root would be "", and the panel's paths the machine's own.
        if (!mRoot.isValid())
            qFatal("no temporary root: %s", qPrintable(mRoot.errorString()));
        auto platform = h2::makeDesktopPlatform(mRoot.path().toStdString());
        mPlatform = static_cast<h2::DesktopPlatform*>(platform.get());
        h2::setPlatform(std::move(platform));
    }

    QString root() const { return mRoot.path(); }
    // The desktop platform it installed, with the requests it recorded.
    h2::DesktopPlatform& platform() const { return *mPlatform; }
    // A path of the panel ("/usr/share/.h2fixconfig") inside the root.
    QString path(const QString& absolute) const { return mRoot.path() + absolute; }
    void writeFile(const QString& absolute, const QByteArray& contents) const {
        writeAll(path(absolute), contents);
    }

private:
    QTemporaryDir mRoot;
    h2::DesktopPlatform* mPlatform = nullptr;
};

// Changes the working directory for the lifetime of the object.
class TempWorkDir {
public:
    TempWorkDir() {
        if (!QDir::setCurrent(mDir.path()))
            qFatal("cannot enter %s", qPrintable(mDir.path()));
    }
    ~TempWorkDir() { QDir::setCurrent(mPrevious); }
    QString path() const { return mDir.path(); }
    QString file(const QString& name) const { return mDir.path() + "/" + name; }

private:
    QString mPrevious = QDir::currentPath();
    QTemporaryDir mDir;
};

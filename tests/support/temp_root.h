#pragma once
// A scratch root for the desktop platform and a scratch working directory, for one test.

#include "platform/desktop_platform.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TempRoot {
public:
    TempRoot();
    ~TempRoot();
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    QString root() const { return mRoot.path(); }
    // The desktop platform it installed, with the requests it recorded.
    h2::DesktopPlatform& platform() const { return *mPlatform; }
    // A path of the panel ("/usr/share/.h2fixconfig") inside the root.
    QString path(const QString& absolute) const { return mRoot.path() + absolute; }
    void writeFile(const QString& absolute, const QByteArray& contents) const;

private:
    QTemporaryDir mRoot;
    h2::DesktopPlatform* mPlatform = nullptr;
};

// Changes the working directory for the lifetime of the object.
class TempWorkDir {
public:
    TempWorkDir();
    ~TempWorkDir();
    QString path() const { return mDir.path(); }
    QString file(const QString& name) const { return mDir.path() + "/" + name; }

private:
    QTemporaryDir mDir;
    QByteArray mPrevious;
};

QByteArray readAll(const QString& file);
void writeAll(const QString& file, const QByteArray& contents);

#pragma once
// Programs of this build (the panel, the tools) as the suites start them. On a cross build
// the suites themselves run under user-mode emulation, and so must every program they start:
// CTest hands the emulator over in H2_EMULATOR.

#include <QProcess>
#include <QStringList>

// The path of a program below the build directory ("h2", "tools/supervisor/h2-supervisor").
QString builtProgram(const QString& relativePath);

// Starts `program` with `args`, through the emulator when there is one.
void startProgram(QProcess& process, const QString& program, const QStringList& args);

// Starts a panel binary on the desktop platform inside `root`. A board build defaults to the
// device platform, which must never run here, so the platform is always given.
void startPanel(QProcess& process, const QString& binary, const QString& root,
                const QStringList& args);

// Reads the process's output into `seen` until it matches `pattern` (a regular expression,
// multi-line) or `timeoutMs` pass or the process ends. Returns the first capture, or the whole
// match when the pattern has none; empty when it never matched.
QString waitForOutput(QProcess& process, QByteArray& seen, const QString& pattern,
                      int timeoutMs = 60000);

// A TCP port that nothing listens on and no suite is given by the kernel meanwhile, for a
// program that takes fixed ports (0 when none was found).
quint16 unusedPort();

#include "support/built_program.h"

QString builtProgram(const QString& relativePath) {
    return qEnvironmentVariable("H2_BINARY_DIR") + "/" + relativePath;
}

QStringList emulatorCommand() {
    return qEnvironmentVariable("H2_EMULATOR").split(' ', Qt::SkipEmptyParts);
}

void startProgram(QProcess& process, const QString& program, const QStringList& args) {
    QStringList command = emulatorCommand();
    if (command.isEmpty()) {
        process.start(program, args);
        return;
    }
    command << program << args;
    process.start(command.takeFirst(), command);
}

void startPanel(QProcess& process, const QString& binary, const QString& root,
                const QStringList& args) {
    if (root.isEmpty())
        qFatal("startPanel needs a scratch root");
    startProgram(process, binary,
                 QStringList{"-platform", "offscreen", "--platform", "desktop", "--root", root} +
                     args);
}

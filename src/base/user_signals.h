#pragma once
// SIGUSR1 and SIGUSR2 are power notices for the engine. The handler only writes the signal
// number into a pipe; the GUI thread reads it and does the work.

#include <QObject>
#include <functional>

class QSocketNotifier;

void handle_sigusr1(int sig);

class UserSignalRelay final : public QObject {
    Q_OBJECT
public:
    explicit UserSignalRelay(QObject* parent = nullptr);
    ~UserSignalRelay() override;

    // Installs the handler for SIGUSR1 and SIGUSR2; false when an installation failed.
    bool install();

    // What a caught signal does after its log line (send command 10 or 9).
    static void setAction(std::function<void(int sig)> action);
    // The command a signal stands for: 10 for SIGUSR1, 9 for SIGUSR2, else 0.
    static int commandFor(int sig);

signals:
    void caught(int sig);

private:
    void readPipe();

    QSocketNotifier* mNotifier = nullptr;
};

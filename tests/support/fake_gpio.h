#pragma once
// A pin double for the hardware threads. It records every pin access, pause and engine
// command in order, keeps a virtual clock that the pauses advance, and lets inputs follow a
// script over that clock. Strobe pins can be marked as latches: on each rising edge the
// levels of the lamp lines are captured, as the cabinet's latches do.

#include "hardware/hardware.h"
#include "platform/platform.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <mutex>

QString pinName(GpioPin pin); // "PD13"

class FakeGpio final : public Gpio {
public:
    using Script = std::function<unsigned(qint64 nowMs)>;

    void GPIO_ConfigPin(PORT port, unsigned int pin, PIN_MODE mode) override;
    void GPIO_SetPin(PORT port, unsigned int pin, unsigned int value) override;
    unsigned int GPIO_GetPin(PORT port, unsigned int pin) override;
    void GPIO_ConfigPinPL(unsigned int pin) override;
    void GPIO_SetPinPL(unsigned int pin, unsigned int value) override;

    // A pause that records "wait N" and advances the clock by N.
    h2::PauseFn pause();
    // An engine command sink that records "cmd N" and returns 0.
    std::function<int(int)> commands();

    // Events in order: "cfg PD13 out", "set PD13 1", "get PD5", "plcfg 11", "plset 11 0",
    // "wait 500", "cmd 9". Reads are recorded only when recordReads is set.
    QStringList events() const;
    // Only the events of the given kinds ("set", "wait", ...).
    QStringList events(const QStringList& kinds) const;
    void clearEvents();
    bool recordReads = false;

    void setLevel(GpioPin pin, unsigned level);
    unsigned level(GpioPin pin) const;
    void setScript(GpioPin pin, Script script);
    qint64 now() const;
    // Sum of all recorded pauses.
    qint64 pausedMs() const;

    // Latch capture: each rising edge of `strobe` stores the current levels of `lines`.
    void watchLatch(GpioPin strobe, const QList<GpioPin>& lines);
    // Captures of a strobe, oldest first; each maps a line name to its level.
    QList<QMap<QString, unsigned>> latches(GpioPin strobe) const;

private:
    static int key(PORT port, unsigned pin) { return int(port) * 64 + int(pin); }
    void record(const QString& event);

    mutable std::recursive_mutex mMutex;
    QStringList mEvents;
    QMap<int, unsigned> mLevels;
    QMap<int, Script> mScripts;
    QMap<int, QList<GpioPin>> mLatchLines;
    QMap<int, QList<QMap<QString, unsigned>>> mLatches;
    qint64 mNow = 0;
    qint64 mPaused = 0;
};

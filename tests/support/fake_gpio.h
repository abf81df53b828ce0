#pragma once
// A pin double for the hardware threads. It records every pin access, pause and engine
// command in order, keeps a virtual clock that the pauses advance, lets an input follow a
// script over that clock, and latches lamp lines on strobe edges as the cabinet's latches do.

#include "hardware/hardware.h"
#include "platform/platform.h"

#include <QMap>
#include <QStringList>
#include <functional>
#include <mutex>

class FakeGpio final : public Gpio {
public:
    using Lock = std::lock_guard<std::recursive_mutex>;
    static QString name(GpioPin p) { return QString("P%1%2").arg(QChar('A' + p.port)).arg(p.pin); }
    static GpioPin pin(const QString& n) { return {PORT(n[1].unicode() - 'A'), n.mid(2).toUInt()}; }

    void GPIO_ConfigPin(PORT port, unsigned pin, PIN_MODE mode) override {
        add("cfg " + name({port, pin}) + (mode == PIN_OUTPUT ? " out" : " in"));
    }
    void GPIO_SetPin(PORT port, unsigned pin, unsigned value) override;
    unsigned GPIO_GetPin(PORT port, unsigned pin) override {
        add("get " + name({port, pin}));
        return level({port, pin});
    }
    void GPIO_ConfigPinPL(unsigned pin) override { add(QString("plcfg %1").arg(pin)); }
    void GPIO_SetPinPL(unsigned pin, unsigned value) override {
        add(QString("plset %1 %2").arg(pin).arg(value));
    }

    // A pause that records "wait N" and advances the clock by N ms.
    h2::PauseFn pause() {
        return [this](unsigned ms) { add(QString("wait %1").arg(ms), ms); };
    }
    // An engine command sink that records "cmd N".
    std::function<int(int)> commands() {
        return [this](int command) { return add(QString("cmd %1").arg(command)), 0; };
    }

    // In order: "cfg PD13 out", "set PD13 1", "get PD5", "plcfg 11", "plset 11 0", "wait 500",
    // "cmd 9", "latch PD7 01 10" (the latched lines' levels, in pairs); only the given kinds
    // ("set", "wait", ...) when there are any.
    QStringList events(const QStringList& kinds = {}) const;
    // Forgets the events and starts the clock again at 0.
    void clearEvents();

    void setLevel(GpioPin pin, unsigned level);
    unsigned level(GpioPin pin) const;
    // From now on the pin reads script(clock in ms).
    void setScript(GpioPin pin, std::function<unsigned(qint64)> script);
    // Each rising edge of one of `strobes` records a "latch" event with the levels of `lines`.
    void watchLatch(const QStringList& strobes, const QStringList& lines);

private:
    void add(const QString& event, qint64 advanceMs = 0);

    mutable std::recursive_mutex mMutex;
    QStringList mEvents;
    QMap<QString, unsigned> mLevels;
    QMap<QString, std::function<unsigned(qint64)>> mScripts;
    QStringList mStrobes, mLatchLines;
    qint64 mNow = 0;
};

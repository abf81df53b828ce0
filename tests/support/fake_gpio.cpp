#include "support/fake_gpio.h"

QString pinName(GpioPin pin) {
    return QStringLiteral("P%1%2").arg(QChar('A' + int(pin.port))).arg(pin.pin);
}

void FakeGpio::record(const QString& event) {
    mEvents << event;
}

void FakeGpio::GPIO_ConfigPin(PORT port, unsigned int pin, PIN_MODE mode) {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    record(QStringLiteral("cfg %1 %2")
               .arg(pinName({port, pin}),
                    mode == PIN_OUTPUT ? QStringLiteral("out") : QStringLiteral("in")));
}

void FakeGpio::GPIO_SetPin(PORT port, unsigned int pin, unsigned int value) {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    record(QStringLiteral("set %1 %2").arg(pinName({port, pin})).arg(value));
    const int k = key(port, pin);
    const unsigned before = mLevels.value(k, 0);
    const unsigned after = value ? 1 : 0;
    mLevels[k] = after;
    if (before == 0 && after == 1 && mLatchLines.contains(k)) {
        QMap<QString, unsigned> capture;
        for (const GpioPin& line : mLatchLines[k])
            capture[pinName(line)] = level(line);
        mLatches[k] << capture;
    }
}

unsigned int FakeGpio::GPIO_GetPin(PORT port, unsigned int pin) {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    if (recordReads)
        record(QStringLiteral("get %1").arg(pinName({port, pin})));
    return level({port, pin});
}

void FakeGpio::GPIO_ConfigPinPL(unsigned int pin) {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    record(QStringLiteral("plcfg %1").arg(pin));
}

void FakeGpio::GPIO_SetPinPL(unsigned int pin, unsigned int value) {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    record(QStringLiteral("plset %1 %2").arg(pin).arg(value));
}

h2::PauseFn FakeGpio::pause() {
    return [this](unsigned ms) {
        std::lock_guard<std::recursive_mutex> lock(mMutex);
        record(QStringLiteral("wait %1").arg(ms));
        mNow += ms;
        mPaused += ms;
    };
}

std::function<int(int)> FakeGpio::commands() {
    return [this](int command) {
        std::lock_guard<std::recursive_mutex> lock(mMutex);
        record(QStringLiteral("cmd %1").arg(command));
        return 0;
    };
}

QStringList FakeGpio::events() const {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    return mEvents;
}

QStringList FakeGpio::events(const QStringList& kinds) const {
    QStringList out;
    for (const QString& e : events()) {
        if (kinds.contains(e.section(' ', 0, 0)))
            out << e;
    }
    return out;
}

void FakeGpio::clearEvents() {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    mEvents.clear();
    mLatches.clear();
}

void FakeGpio::setLevel(GpioPin pin, unsigned level) {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    mLevels[key(pin.port, pin.pin)] = level ? 1 : 0;
}

unsigned FakeGpio::level(GpioPin pin) const {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    const int k = key(pin.port, pin.pin);
    if (mScripts.contains(k))
        return mScripts[k](mNow) ? 1 : 0;
    return mLevels.value(k, 0);
}

void FakeGpio::setScript(GpioPin pin, Script script) {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    mScripts[key(pin.port, pin.pin)] = std::move(script);
}

qint64 FakeGpio::now() const {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    return mNow;
}

qint64 FakeGpio::pausedMs() const {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    return mPaused;
}

void FakeGpio::watchLatch(GpioPin strobe, const QList<GpioPin>& lines) {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    mLatchLines[key(strobe.port, strobe.pin)] = lines;
}

QList<QMap<QString, unsigned>> FakeGpio::latches(GpioPin strobe) const {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    return mLatches.value(key(strobe.port, strobe.pin));
}

#include "support/fake_gpio.h"

void FakeGpio::add(const QString& event, qint64 advanceMs) {
    Lock lock(mMutex);
    mEvents << event;
    mNow += advanceMs;
}

void FakeGpio::GPIO_SetPin(PORT port, unsigned pin, unsigned value) {
    Lock lock(mMutex);
    const QString pinName = name({port, pin});
    add(QString("set %1 %2").arg(pinName).arg(value));
    if (value && !mLevels.value(pinName) && mStrobes.contains(pinName)) {
        QString latch = "latch " + pinName;
        for (int i = 0; i < mLatchLines.size(); ++i)
            latch += (i % 2 ? "" : " ") + QString::number(level(FakeGpio::pin(mLatchLines[i])));
        add(latch);
    }
    mLevels[pinName] = value ? 1 : 0;
}

QStringList FakeGpio::events(const QStringList& kinds) const {
    Lock lock(mMutex);
    QStringList out;
    for (const QString& e : mEvents) {
        if (kinds.isEmpty() || kinds.contains(e.section(' ', 0, 0)))
            out << e;
    }
    return out;
}

void FakeGpio::clearEvents() {
    Lock lock(mMutex);
    mEvents.clear();
    mNow = 0;
}

void FakeGpio::setLevel(GpioPin pin, unsigned level) {
    Lock lock(mMutex);
    mLevels[name(pin)] = level ? 1 : 0;
}

unsigned FakeGpio::level(GpioPin pin) const {
    Lock lock(mMutex);
    const auto script = mScripts.find(name(pin));
    return script != mScripts.end() ? (*script)(mNow) : mLevels.value(name(pin));
}

void FakeGpio::setScript(GpioPin pin, std::function<unsigned(qint64)> script) {
    Lock lock(mMutex);
    mScripts[name(pin)] = std::move(script);
}

void FakeGpio::watchLatch(const QStringList& strobes, const QStringList& lines) {
    Lock lock(mMutex);
    mStrobes = strobes;
    mLatchLines = lines;
}

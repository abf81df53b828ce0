#include "base/util_thread.h"

#include "base/log_file.h"

#include <cerrno>
#include <sys/time.h>

Util_Lock::Util_Lock() {
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&mMutex, &attr);
    pthread_mutexattr_destroy(&attr);
}

Util_Lock::~Util_Lock() {
    pthread_mutex_destroy(&mMutex);
}
void Util_Lock::lock() {
    pthread_mutex_lock(&mMutex);
}
void Util_Lock::unlock() {
    pthread_mutex_unlock(&mMutex);
}

struct timespec Util_EventDeadline(time_t nowSeconds, long nowMicroseconds, unsigned timeoutMs) {
    long long seconds = nowSeconds + timeoutMs / 1000;
    long long micro = nowMicroseconds + (long long)(timeoutMs % 1000) * 1000;
    while (micro >= 1000000) {
        micro -= 1000000;
        ++seconds;
    }
    struct timespec deadline {};
    deadline.tv_sec = time_t(seconds);
    deadline.tv_nsec = long(micro * 1000);
    return deadline;
}

Util_Event::Util_Event(int manualReset) : mManualReset(manualReset) {
    pthread_cond_init(&mCond, nullptr); // CLOCK_REALTIME, as the deadline is wall-clock time
}

Util_Event::~Util_Event() {
    pthread_cond_destroy(&mCond);
}

int Util_Event::signal() {
    return set(false);
}

int Util_Event::signalBroadcast() {
    return set(true);
}

int Util_Event::set(bool everyWaiter) {
    Util_AutoLock guard(mLock);
    int changed = mSignalled ? 0 : 1;
    mSignalled = 1;
    if (everyWaiter)
        pthread_cond_broadcast(&mCond);
    else
        pthread_cond_signal(&mCond);
    return changed;
}

void Util_Event::clear() {
    Util_AutoLock guard(mLock);
    mSignalled = 0;
}

int Util_Event::wait(unsigned timeoutMs) {
    Util_AutoLock guard(mLock);
    int result = 0;
    if (!mSignalled) {
        if (timeoutMs == 0)
            return ETIMEDOUT;
        if (timeoutMs == kInfinite) {
            while (!mSignalled && result == 0)
                result = pthread_cond_wait(&mCond, mLock.native());
        } else {
            struct timeval now {};
            gettimeofday(&now, nullptr);
            const struct timespec deadline = Util_EventDeadline(now.tv_sec, now.tv_usec, timeoutMs);
            // Spurious wake-ups go back to waiting for the same deadline.
            while (!mSignalled && result == 0)
                result = pthread_cond_timedwait(&mCond, mLock.native(), &deadline);
            if (mSignalled)
                result = 0;
        }
    }
    if (result == 0 && !mManualReset)
        mSignalled = 0;
    return result;
}

Util_Thread::Util_Thread(int detached) : mDetached(detached) {}

Util_Thread::~Util_Thread() = default;

void* Util_Thread::entry(void* self) {
    if (self)
        static_cast<Util_Thread*>(self)->run();
    return nullptr;
}

int Util_Thread::start() {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    if (mDetached)
        pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    int ret = pthread_create(&mHandle, &attr, &Util_Thread::entry, this);
    pthread_attr_destroy(&attr);
    if (ret != 0) {
        mHandle = 0;
        consolePrintf("Fail to create thread ret=%d\n", ret);
    }
    return ret;
}

void Util_Thread::join() {
    if (mDetached || mHandle == 0 || pthread_equal(mHandle, pthread_self()))
        return;
    pthread_join(mHandle, nullptr);
    mHandle = 0;
}

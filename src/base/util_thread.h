#pragma once
// Thin thread and synchronisation layer over POSIX threads.

#include <ctime>
#include <pthread.h>

class Util_NonCopy {
protected:
    Util_NonCopy() = default;
    ~Util_NonCopy() = default;

public:
    Util_NonCopy(const Util_NonCopy&) = delete;
    Util_NonCopy& operator=(const Util_NonCopy&) = delete;
};

// Recursive mutex: the same thread may lock it again.
class Util_Lock : private Util_NonCopy {
public:
    Util_Lock();
    ~Util_Lock();
    void lock();
    void unlock();
    pthread_mutex_t* native() { return &mMutex; }

private:
    pthread_mutex_t mMutex;
};

class Util_AutoLock : private Util_NonCopy {
public:
    explicit Util_AutoLock(Util_Lock& lock) : mLock(lock) { mLock.lock(); }
    ~Util_AutoLock() { mLock.unlock(); }

private:
    Util_Lock& mLock;
};

// Absolute wall-clock deadline `timeoutMs` after (seconds, microseconds), with the
// microseconds carried into the seconds.
struct timespec Util_EventDeadline(time_t nowSeconds, long nowMicroseconds, unsigned timeoutMs);

class Util_Event {
public:
    static constexpr unsigned kInfinite = 0xFFFFFFFFu;

    explicit Util_Event(int manualReset);
    ~Util_Event();
    Util_Event(const Util_Event&) = delete;
    Util_Event& operator=(const Util_Event&) = delete;

    // 1 when this call signalled the event, 0 when it was signalled already.
    int signal();
    int signalBroadcast();
    void clear();
    // 0 when signalled, 110 (ETIMEDOUT) at the time-out, or another error number.
    int wait(unsigned timeoutMs);

private:
    // Sets the event and wakes one waiter, or every waiter.
    int set(bool everyWaiter);

    int mManualReset;
    int mSignalled = 0;
    Util_Lock mLock;
    pthread_cond_t mCond;
};

class Util_Thread : private Util_NonCopy {
public:
    explicit Util_Thread(int detached);
    virtual ~Util_Thread();
    // 0, or the thread-creation error number.
    virtual int start();
    virtual void stop() {}
    virtual void run() {}
    void join();
    bool running() const { return mHandle != 0; }

private:
    static void* entry(void* self);

    int mDetached;
    pthread_t mHandle = 0;
};

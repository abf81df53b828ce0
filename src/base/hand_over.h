#pragma once
// Work handed to another thread's event loop. Qt hands a queued call over under a futex mutex
// that ThreadSanitizer cannot see, so everything the call carries would look raced. This
// mutex, held while the call is built and posted and taken by the receiver before it reads
// anything, makes the hand-over visible to it; real races are still reported.

#include <QObject>
#include <future>
#include <mutex>

namespace h2 {

std::mutex& handOverMutex();

// Runs `job` on `target`'s thread, later.
template <typename F> void postTo(QObject* target, F job) {
    std::lock_guard<std::mutex> posting(handOverMutex());
    QMetaObject::invokeMethod(
        target,
        [job = std::move(job)]() mutable {
            { std::lock_guard<std::mutex> received(handOverMutex()); }
            job();
        },
        Qt::QueuedConnection);
}

// Runs `job` on `target`'s thread and waits until it is done; never from that thread.
template <typename F> void runOn(QObject* target, F job) {
    std::promise<void> done;
    postTo(target, [&job, &done] {
        job();
        done.set_value();
    });
    done.get_future().wait();
}

} // namespace h2

#ifndef RQ_SHOWNCOUNT_H
#define RQ_SHOWNCOUNT_H

// Counts the pictures a player's frame callback is given, and waits for the next one.
#include <chrono>
#include <condition_variable>
#include <mutex>

struct ShownCount {
    std::mutex mutex;
    std::condition_variable cond;
    int count = 0;

    static int callback(void *context, void *)
    {
        auto *self = static_cast<ShownCount *>(context);
        std::lock_guard<std::mutex> lock(self->mutex);
        ++self->count;
        self->cond.notify_all();
        return 1;
    }
    int seen()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return count;
    }
    // False when no picture beyond the n-th came within 20 seconds.
    bool waitPast(int n)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return cond.wait_for(lock, std::chrono::seconds(20), [&] { return count > n; });
    }
};

#endif

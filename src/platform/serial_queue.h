#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// A named worker thread that runs posted work one item at a time, in order.
class SerialQueue
{
public:
    explicit SerialQueue(std::string label);
    // Runs what is already queued, then joins the worker.
    ~SerialQueue();

    SerialQueue(const SerialQueue &) = delete;
    SerialQueue &operator=(const SerialQueue &) = delete;

    const std::string &label() const { return m_label; }

    void post(std::function<void()> work);
    // Runs work on the queue and waits for it. Called from the queue itself it
    // runs inline, so a queue can never wait on itself.
    void sync(const std::function<void()> &work);
    // True when called from this queue's worker thread.
    bool isCurrent() const;

    // Runs work on the queue every interval, first one interval from now,
    // until replaced by the next call or the queue ends. The kernel may run
    // it up to `tolerance` late so that the wakeup can share one with other
    // timers. Work that wants a result on the main thread posts it there
    // itself: a timer on the queue wakes only the queue, not the main thread.
    void repeat(std::chrono::milliseconds interval, std::chrono::milliseconds tolerance,
                std::function<void()> work);

private:
    using SteadyClock = std::chrono::steady_clock;

    struct Repeating
    {
        std::chrono::milliseconds interval;
        std::chrono::nanoseconds tolerance;
        SteadyClock::time_point due;
        std::shared_ptr<const std::function<void()>> work;
    };

    void run();
    // The next work to run, waiting for it; empty once the queue ends.
    std::function<void()> next();
    void applyTimerSlack(std::chrono::nanoseconds slack);

    std::string m_label;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_work;
    std::optional<Repeating> m_repeating;
    std::chrono::nanoseconds m_appliedSlack{-1}; // worker thread only
    bool m_stopping = false;
    std::thread m_thread;
};

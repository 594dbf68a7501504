#include "platform/serial_queue.h"

#include <pthread.h>
#include <sys/prctl.h>

#include <algorithm>

SerialQueue::SerialQueue(std::string label)
    : m_label(std::move(label))
    , m_thread([this] { run(); })
{
}

SerialQueue::~SerialQueue()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void SerialQueue::post(std::function<void()> work)
{
    // An empty item would read as the end of the queue.
    if (!work)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_work.push_back(std::move(work));
    }
    m_wake.notify_one();
}

void SerialQueue::sync(const std::function<void()> &work)
{
    if (isCurrent()) {
        work();
        return;
    }
    std::mutex doneMutex;
    std::condition_variable doneSignal;
    bool done = false;
    post([&] {
        work();
        std::lock_guard lock(doneMutex);
        done = true;
        doneSignal.notify_one();
    });
    std::unique_lock lock(doneMutex);
    doneSignal.wait(lock, [&] { return done; });
}

bool SerialQueue::isCurrent() const
{
    return std::this_thread::get_id() == m_thread.get_id();
}

void SerialQueue::repeat(std::chrono::milliseconds interval, std::chrono::milliseconds tolerance,
                         std::function<void()> work)
{
    {
        std::lock_guard lock(m_mutex);
        m_repeating = Repeating{interval, tolerance, SteadyClock::now() + interval,
                                std::make_shared<const std::function<void()>>(std::move(work))};
    }
    m_wake.notify_one();
}

void SerialQueue::run()
{
    // Thread names are limited to 15 characters; keep the distinctive tail.
    std::string name = m_label.size() > 15 ? m_label.substr(m_label.size() - 15) : m_label;
    pthread_setname_np(pthread_self(), name.c_str());

    while (std::function<void()> work = next())
        work();
}

std::function<void()> SerialQueue::next()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (!m_work.empty()) {
            std::function<void()> work = std::move(m_work.front());
            m_work.pop_front();
            return work;
        }
        // Posted work still runs at the end; repeating work does not.
        if (m_stopping)
            return {};
        if (!m_repeating) {
            m_wake.wait(lock);
            continue;
        }
        const auto now = SteadyClock::now();
        if (now < m_repeating->due) {
            applyTimerSlack(m_repeating->tolerance);
            m_wake.wait_until(lock, m_repeating->due);
            continue;
        }
        // After a late run (a suspend, a long item) the next one is a whole
        // interval away rather than a burst of the missed ones.
        m_repeating->due += m_repeating->interval;
        if (m_repeating->due <= now)
            m_repeating->due = now + m_repeating->interval;
        // A shared pointer fits in the function without an allocation, and
        // keeps the work alive should a replacement come while it runs.
        return [work = m_repeating->work] { (*work)(); };
    }
}

void SerialQueue::applyTimerSlack(std::chrono::nanoseconds slack)
{
    if (slack == m_appliedSlack)
        return;
    m_appliedSlack = slack;
    // Zero would restore the default; a failure only costs coalescing.
    prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(std::max<std::chrono::nanoseconds::rep>(slack.count(), 1)));
}

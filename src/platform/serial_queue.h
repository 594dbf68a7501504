#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
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

private:
    void run();

    std::string m_label;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_work;
    bool m_stopping = false;
    std::thread m_thread;
};

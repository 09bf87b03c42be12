// Threads made once and given one job after another: the helpers of a
// search wait here between searches instead of being started for every
// move.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class ThreadPool {
public:
    // Starts the threads; throws std::system_error when the system gives no
    // more (the threads made so far are ended again).
    explicit ThreadPool(int threads);
    ~ThreadPool();

    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    int size() const { return static_cast<int>(threads_.size()); }
    // Runs job(i) on thread i, for every thread, and returns at once.
    void start(std::function<void(int)> job);
    // Waits until every thread has finished the job it was given.
    void wait();

private:
    void loop(int index);
    void stopAll();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::function<void(int)> job_;
    uint64_t round_ = 0;
    int running_ = 0;
    bool quit_ = false;
    std::vector<std::thread> threads_;
};

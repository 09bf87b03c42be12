#include "engine/thread_pool.h"

#include <system_error>

ThreadPool::ThreadPool(int threads) {
    try {
        for (int i = 0; i < threads; ++i) threads_.emplace_back(&ThreadPool::loop, this, i);
    } catch (const std::system_error&) {
        stopAll();
        throw;
    }
}

ThreadPool::~ThreadPool() { stopAll(); }

void ThreadPool::stopAll() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void ThreadPool::start(std::function<void(int)> job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        job_ = std::move(job);
        running_ = static_cast<int>(threads_.size());
        ++round_;
    }
    wake_.notify_all();
}

void ThreadPool::wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return running_ == 0; });
}

void ThreadPool::loop(int index) {
    uint64_t seen = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this, seen] { return quit_ || round_ != seen; });
        if (quit_) return;
        seen = round_;
        const std::function<void(int)> job = job_;
        lock.unlock();
        job(index);
        lock.lock();
        if (--running_ == 0) done_.notify_all();
    }
}

// A temporary working folder for tests of the opening book and the tables:
// the engine reads its data files from the folder it is constructed in.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <thread>

#include "engine/engine.h"

class BookFolder {
public:
    BookFolder() {
        char pattern[] = "/tmp/vortelan-book-XXXXXX";
        if (mkdtemp(pattern)) path_ = pattern;
        EXPECT_FALSE(path_.empty());
    }
    ~BookFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    BookFolder(const BookFolder&) = delete;
    BookFolder& operator=(const BookFolder&) = delete;

    void write(const char* name, const std::string& bytes) {
        std::ofstream(path_ + "/" + name, std::ios::binary) << bytes;
    }

    // An engine constructed in the folder, which reads its books there.
    std::unique_ptr<Engine> engineHere(uint32_t seed) {
        std::unique_ptr<Engine> engine;
        runHere([&] { engine = std::make_unique<Engine>(seed); });
        return engine;
    }

    template <class Action>
    void runHere(Action action) {
        char previous[4096];
        EXPECT_NE(getcwd(previous, sizeof previous), nullptr);
        EXPECT_EQ(chdir(path_.c_str()), 0);
        action();
        EXPECT_EQ(chdir(previous), 0);
    }

    // Runs the action in the folder with a FIFO of the given name there;
    // true when anything opened the FIFO for reading meanwhile. A reader
    // that opens it would wait for a writer for ever, so one comes: the
    // test then fails instead of hanging.
    template <class Action>
    bool fifoOpenedDuring(const char* name, Action action) {
        const std::string fifo = path_ + "/" + name;
        EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        std::atomic<bool> done{false}, opened{false};
        std::thread writer([&] {
            while (!done) {
                const int end = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);  // fails while no one reads
                if (end >= 0) opened = true, close(end);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        runHere(action);
        done = true;
        writer.join();
        return opened;
    }

private:
    std::string path_;
};

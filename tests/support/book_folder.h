// A temporary working folder for tests of the opening book: the engine
// reads its book files from the folder it is constructed in.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>

#include "engine/engine.h"

class BookFolder {
public:
    BookFolder() {
        char pattern[] = "/tmp/vortelan-book-XXXXXX";
        if (mkdtemp(pattern)) path_ = pattern;
        EXPECT_FALSE(path_.empty());
    }
    ~BookFolder() {
        std::remove((path_ + "/blancas.ape").c_str());
        std::remove((path_ + "/negras.ape").c_str());
        rmdir(path_.c_str());
    }
    BookFolder(const BookFolder&) = delete;
    BookFolder& operator=(const BookFolder&) = delete;

    void write(const char* name, const std::string& bytes) {
        std::ofstream(path_ + "/" + name, std::ios::binary) << bytes;
    }

    // An engine constructed in the folder, which reads its books there.
    std::unique_ptr<Engine> engineHere(uint32_t seed) {
        char previous[4096];
        EXPECT_NE(getcwd(previous, sizeof previous), nullptr);
        EXPECT_EQ(chdir(path_.c_str()), 0);
        auto engine = std::make_unique<Engine>(seed);
        EXPECT_EQ(chdir(previous), 0);
        return engine;
    }

private:
    std::string path_;
};

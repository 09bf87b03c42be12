#include "search/clock.h"

#include <chrono>

namespace {
const auto processStart = std::chrono::steady_clock::now();
}

int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - processStart)
        .count();
}

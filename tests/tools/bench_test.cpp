// The bench's node total is the signature of the search: it changes only
// when what the search does changes, never with how fast it does it. A
// commit that changes it on purpose records the new number here and says
// "Bench: <nodes>" in its message.
#include <gtest/gtest.h>

#include "bench_runner.h"

namespace {

constexpr int64_t benchSignature = 16731536;

TEST(Bench, NodeTotalIsTheRecordedSignature) {
    int64_t total = 0;
    std::size_t searched = 0;
    std::string error;
    ASSERT_TRUE(runBench(
        [&](std::size_t, const BenchRecord& record) {
            EXPECT_GT(record.nodes, 0);
            total += record.nodes;
            ++searched;
        },
        error))
        << error;
    EXPECT_EQ(searched, benchPositions().size());
    EXPECT_EQ(total, benchSignature);
}

}  // namespace

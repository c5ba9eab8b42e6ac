// The worker pool: every block computed once, folded in block order on
// slots that no two unfolded blocks share; the stop query; errors thrown
// by a block; the core's lines of the workers printed on the calling
// thread in block order.
#include "core/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/core_print.h"

namespace {

constexpr int kThreadCounts[] = {1, 2, 3, 7, 16};

// Work whose length varies from block to block, so that the workers
// finish out of order.
double Spin(int block) {
  double x = 1;
  for (int i = 0; i < 2000 * (1 + (block * 7919) % 13); ++i) x = std::sqrt(x + i);
  return x;
}

TEST(WorkerPool, FoldsEveryBlockOnceInOrderOnSlotsNoOtherBlockHolds) {
  for (int threads : kThreadCounts) {
    SCOPED_TRACE(threads);
    const int blocks = 157;
    const int slots = BlockSlots(threads);
    std::vector<std::atomic<int>> holder(static_cast<std::size_t>(slots));
    for (auto& h : holder) h = -1;
    std::vector<std::atomic<int>> computed(blocks);
    std::vector<double> value(static_cast<std::size_t>(slots));
    std::vector<int> order;
    std::atomic<bool> wrongSlot{false};
    // Terms whose sum depends on the order of the additions.
    auto term = [](int b) { return (b % 3 == 0 ? 1e16 : 1.0) * (b % 2 ? -1 : 1) + b * 0.1; };
    double sum = 0;
    BlockJob job;
    job.blocks = blocks;
    job.compute = [&](int b, int s) {
      int none = -1;
      if (s < 0 || s >= slots || !holder[static_cast<std::size_t>(s)].compare_exchange_strong(none, b))
        wrongSlot = true;
      ++computed[static_cast<std::size_t>(b)];
      volatile double spun = Spin(b);
      (void)spun;
      value[static_cast<std::size_t>(s)] = term(b);
    };
    job.fold = [&](int b, int s) {
      if (holder[static_cast<std::size_t>(s)].exchange(-1) != b) wrongSlot = true;
      order.push_back(b);
      sum += value[static_cast<std::size_t>(s)];
    };
    EXPECT_EQ(RunBlocks(job, threads), blocks);
    EXPECT_FALSE(wrongSlot);
    double serial = 0;
    for (int b = 0; b < blocks; ++b) {
      EXPECT_EQ(computed[static_cast<std::size_t>(b)], 1) << b;
      serial += term(b);
    }
    std::vector<int> expected(blocks);
    for (int b = 0; b < blocks; ++b) expected[static_cast<std::size_t>(b)] = b;
    EXPECT_EQ(order, expected);
    EXPECT_EQ(std::memcmp(&sum, &serial, sizeof sum), 0) << sum << " " << serial;
  }
}

TEST(WorkerPool, PumpsOnTheCallingThreadAndEndsWithAllFolded) {
  const std::thread::id caller = std::this_thread::get_id();
  for (int threads : {1, 2, 5}) {
    std::vector<int> pumped;
    bool elsewhere = false;
    BlockJob job;
    job.blocks = 60;
    job.compute = [](int b, int) {
      volatile double x = Spin(b);
      (void)x;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    };
    job.pump = [&](int folded) {
      elsewhere = elsewhere || std::this_thread::get_id() != caller;
      pumped.push_back(folded);
    };
    EXPECT_EQ(RunBlocks(job, threads), 60);
    EXPECT_FALSE(elsewhere);
    ASSERT_FALSE(pumped.empty());
    EXPECT_EQ(pumped.back(), 60);
    // Every few tens of milliseconds, not after every block.
    EXPECT_LT(pumped.size(), 30u) << threads;
    for (std::size_t i = 1; i < pumped.size(); ++i) EXPECT_LE(pumped[i - 1], pumped[i]);
  }
}

TEST(WorkerPool, NoBlocksAndOneBlock) {
  std::vector<int> pumped;
  BlockJob none;
  none.compute = [](int, int) { ADD_FAILURE() << "no block to compute"; };
  none.pump = [&](int folded) { pumped.push_back(folded); };
  EXPECT_EQ(RunBlocks(none, 4), 0);
  EXPECT_EQ(pumped, std::vector<int>{0});

  BlockJob one;
  one.blocks = 1;
  std::thread::id on;
  one.compute = [&](int, int slot) {
    on = std::this_thread::get_id();
    EXPECT_EQ(slot, 0);
  };
  EXPECT_EQ(RunBlocks(one, 4), 1);
  EXPECT_EQ(on, std::this_thread::get_id());  // one block: no worker started
}

TEST(WorkerPool, StopQueryEndsTheRunAtTheNextBlockWithAFoldedPrefix) {
  for (int threads : {1, 2, 3}) {
    SCOPED_TRACE(threads);
    int asked = 0;
    SetStopQuery([&] { return ++asked >= 2; });
    std::vector<int> order;
    BlockJob job;
    job.blocks = 100000;
    job.compute = [](int, int) { std::this_thread::sleep_for(std::chrono::microseconds(300)); };
    job.fold = [&](int b, int) { order.push_back(b); };
    const int folded = RunBlocks(job, threads);
    SetStopQuery({});
    EXPECT_GE(asked, 2);
    EXPECT_GT(folded, 0);
    EXPECT_LT(folded, 2000);  // about 60 ms of 300 us blocks, not all 100000
    ASSERT_EQ(order.size(), static_cast<std::size_t>(folded));
    for (int b = 0; b < folded; ++b) EXPECT_EQ(order[static_cast<std::size_t>(b)], b);
  }
  // Cleared, the query stops nothing.
  BlockJob job;
  job.blocks = 50;
  job.compute = [](int, int) {};
  EXPECT_EQ(RunBlocks(job, 2), 50);
}

TEST(WorkerPool, AnErrorOfABlockIsThrownOnTheCallingThreadAfterTheWorkersEnd) {
  for (int threads : {1, 2, 7}) {
    SCOPED_TRACE(threads);
    std::atomic<int> inside{0};
    BlockJob job;
    job.blocks = 500;
    job.compute = [&](int b, int) {
      ++inside;
      std::this_thread::sleep_for(std::chrono::microseconds(100));
      --inside;
      if (b == 37) throw std::runtime_error("block 37");
    };
    EXPECT_THROW(RunBlocks(job, threads), std::runtime_error);
    EXPECT_EQ(inside, 0);

    int folds = 0;
    BlockJob folding;
    folding.blocks = 500;
    folding.compute = [](int, int) {};
    folding.fold = [&](int b, int) {
      ++folds;
      if (b == 3) throw std::logic_error("fold 3");
    };
    EXPECT_THROW(RunBlocks(folding, threads), std::logic_error);
    EXPECT_EQ(folds, 4);  // nothing is folded after the failing block
  }
}

std::string g_printed;
bool g_printedElsewhere = false;
std::thread::id g_printThread;
void Collect(const char* text) {
  g_printedElsewhere = g_printedElsewhere || std::this_thread::get_id() != g_printThread;
  g_printed += text;
}

TEST(WorkerPool, TheCoreLinesOfTheWorkersArePrintedOnTheCallingThreadInBlockOrder) {
  g_printThread = std::this_thread::get_id();
  SetCorePrinter(Collect);
  std::string expected;
  for (int b = 0; b < 40; ++b)
    if (b % 3 == 0) expected += "block " + std::to_string(b) + ";";
  for (int threads : {1, 2, 3, 7}) {
    g_printed.clear();
    BlockJob job;
    job.blocks = 40;
    job.compute = [](int b, int) {
      volatile double x = Spin(b);
      (void)x;
      if (b % 3 == 0) CorePrintf("block %d;", b);
    };
    RunBlocks(job, threads);
    EXPECT_EQ(g_printed, expected) << threads;
  }
  SetCorePrinter(nullptr);
  EXPECT_FALSE(g_printedElsewhere);

  // A capture of its own takes a thread's lines; it nests.
  std::string outer, inner;
  {
    CoreLineCapture a(outer);
    CorePrint("a");
    {
      CoreLineCapture b(inner);
      CorePrint("b");
    }
    CorePrint("c");
  }
  EXPECT_EQ(outer, "ac");
  EXPECT_EQ(inner, "b");
}

TEST(WorkerPool, ARunStartedInsideABlockRunsThereAlone) {
  const int blocks = 12;
  std::vector<long long> sums(blocks);
  BlockJob job;
  job.blocks = blocks;
  job.compute = [&](int b, int) {
    const std::thread::id here = std::this_thread::get_id();
    long long sum = 0;
    BlockJob inner;
    inner.blocks = 30;
    inner.compute = [&](int i, int slot) {
      EXPECT_EQ(std::this_thread::get_id(), here);
      EXPECT_EQ(slot, 0);
      sum += i;
    };
    inner.pump = [](int) { ADD_FAILURE() << "a worker pumps nothing"; };
    RunBlocks(inner, 4);
    sums[static_cast<std::size_t>(b)] = sum;
  };
  EXPECT_EQ(RunBlocks(job, 3), blocks);
  for (long long s : sums) EXPECT_EQ(s, 29 * 30 / 2);
}

TEST(WorkerPool, ThreadCountsAndBlockCounts) {
  EXPECT_GE(MachineCores(), 1);
  const int before = WorkerThreads();
  SetWorkerThreads(0);
  EXPECT_EQ(WorkerThreads(), 1);
  SetWorkerThreads(100000);
  EXPECT_EQ(WorkerThreads(), kMaxWorkerThreads);
  SetWorkerThreads(before);
  EXPECT_EQ(BlockSlots(1), 1);
  EXPECT_EQ(BlockSlots(3), 6);
  EXPECT_EQ(BlockCount(0, 100), 0);
  EXPECT_EQ(BlockCount(-5, 100), 0);
  EXPECT_EQ(BlockCount(100, 100), 1);
  EXPECT_EQ(BlockCount(101, 100), 2);
  EXPECT_EQ(BlockCount(100000LL * 1000, 2048), 48829);
}

}  // namespace

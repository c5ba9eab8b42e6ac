#pragma once
// The worker threads of a benchmark: an argument of the benchmark, set for
// its run and restored after it. The pool's own threads do the work, so
// these benchmarks are timed by the wall clock (UseRealTime), never by the
// calling thread's processor time.
#include "core/worker_pool.h"

class BenchThreads {
 public:
  explicit BenchThreads(long long threads) : before_(WorkerThreads()) {
    SetWorkerThreads(static_cast<int>(threads));
  }
  ~BenchThreads() { SetWorkerThreads(before_); }
  BenchThreads(const BenchThreads&) = delete;
  BenchThreads& operator=(const BenchThreads&) = delete;

 private:
  int before_;
};

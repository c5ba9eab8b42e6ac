#pragma once
// The thread counts the long loops are compared at, and a scope that sets
// the worker pool's count for the computations inside it.
#include "core/worker_pool.h"

inline constexpr int kComparedThreadCounts[] = {1, 2, 3, 7};

class WorkerThreadsScope {
 public:
  explicit WorkerThreadsScope(int threads) : before_(WorkerThreads()) { SetWorkerThreads(threads); }
  ~WorkerThreadsScope() { SetWorkerThreads(before_); }
  WorkerThreadsScope(const WorkerThreadsScope&) = delete;
  WorkerThreadsScope& operator=(const WorkerThreadsScope&) = delete;

 private:
  int before_;
};

#include "core/worker_pool.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "core/core_print.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPumpInterval = std::chrono::milliseconds(30);

std::atomic<int> g_threads{0};  // 0: the machine's cores

std::mutex g_stopMutex;
StopQuery g_stopQuery;

// Set on the pool's workers: a run started there runs on that worker alone.
thread_local bool t_onWorker = false;

bool StopAsked() {
  StopQuery query;
  {
    std::lock_guard<std::mutex> lock(g_stopMutex);
    query = g_stopQuery;
  }
  return query && query();
}

// One block after the other on the calling thread.
int RunHere(const BlockJob& job, bool pumped) {
  Clock::time_point last = Clock::now();
  int folded = 0;
  for (int b = 0; b < job.blocks; ++b) {
    if (pumped && Clock::now() - last >= kPumpInterval) {
      if (job.pump) job.pump(folded);
      if (StopAsked()) break;
      last = Clock::now();
    }
    job.compute(b, 0);
    if (job.fold) job.fold(b, 0);
    folded = b + 1;
  }
  if (pumped && job.pump) job.pump(folded);
  return folded;
}

// What the workers of one run share, under `mutex`.
struct SharedRun {
  explicit SharedRun(const BlockJob& j, int s) : job(j), slots(s), ready(s, 0), lines(s) {}

  const BlockJob& job;
  const int slots;
  std::mutex mutex;
  std::condition_variable slotFreed;  // a block was folded, or the run stops
  std::condition_variable workersEnded;
  int next = 0;     // the next block to compute
  int folded = 0;   // blocks folded; block `folded` is the next to fold
  bool folding = false;
  bool stop = false;
  int running = 0;  // workers not yet ended
  std::vector<char> ready;         // per slot: its block is computed, not folded
  std::vector<std::string> lines;  // per slot: the core's lines of its block
  std::string pending;             // lines of folded blocks, not yet printed
  std::exception_ptr error;

  void Fail(std::exception_ptr e) {
    if (!error) error = e;
    stop = true;
    slotFreed.notify_all();
  }

  // Folds every computed block that is next in order; one worker at a
  // time (the others leave theirs ready for it).
  void FoldReady(std::unique_lock<std::mutex>& lock) {
    if (folding) return;
    folding = true;
    while (!stop && folded < job.blocks && ready[folded % slots]) {
      const int block = folded, slot = block % slots;
      lock.unlock();
      try {
        if (job.fold) job.fold(block, slot);
      } catch (...) {
        lock.lock();
        Fail(std::current_exception());
        break;
      }
      lock.lock();
      ready[slot] = 0;
      pending += lines[slot];
      ++folded;
      slotFreed.notify_all();
    }
    folding = false;
  }

  void Work() {
    t_onWorker = true;
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
      // Block b goes into slot b % slots once the block before it there is folded.
      slotFreed.wait(lock, [&] { return stop || next >= job.blocks || next < folded + slots; });
      if (stop || next >= job.blocks) break;
      const int block = next++, slot = block % slots;
      lock.unlock();
      try {
        lines[slot].clear();
        CoreLineCapture capture(lines[slot]);
        job.compute(block, slot);
      } catch (...) {
        lock.lock();
        Fail(std::current_exception());
        break;
      }
      lock.lock();
      ready[slot] = 1;
      FoldReady(lock);
    }
    if (--running == 0) workersEnded.notify_all();
  }
};

// The workers of one run; they are stopped and joined however the run ends.
class Workers {
 public:
  Workers(SharedRun& run, int threads) : run_(run) {
    run_.running = threads;
    for (int i = 0; i < threads; ++i) {
      try {
        threads_.emplace_back([this] { run_.Work(); });
      } catch (const std::system_error&) {
        // No more threads to be had: the run goes on with those started.
        std::lock_guard<std::mutex> lock(run_.mutex);
        run_.running -= threads - i;
        break;
      }
    }
  }
  ~Workers() {
    {
      std::lock_guard<std::mutex> lock(run_.mutex);
      if (run_.running > 0) run_.stop = true;
      run_.slotFreed.notify_all();
    }
    for (std::thread& t : threads_) t.join();
  }
  bool Started() const { return !threads_.empty(); }

 private:
  SharedRun& run_;
  std::vector<std::thread> threads_;
};

int RunOnWorkers(const BlockJob& job, int threads) {
  SharedRun run(job, BlockSlots(threads));
  int folded = 0;
  {
    Workers workers(run, threads);
    if (!workers.Started()) return RunHere(job, true);
    std::string lines;
    std::unique_lock<std::mutex> lock(run.mutex);
    for (;;) {
      const bool ended =
          run.workersEnded.wait_for(lock, kPumpInterval, [&] { return run.running == 0; });
      lines.swap(run.pending);
      folded = run.folded;
      lock.unlock();
      if (!lines.empty()) CorePrint(lines.c_str());
      lines.clear();
      if (ended) break;
      if (job.pump) job.pump(folded);
      const bool stop = StopAsked();
      lock.lock();
      if (stop) {
        run.stop = true;
        run.slotFreed.notify_all();
      }
    }
  }
  if (run.error) std::rethrow_exception(run.error);
  if (job.pump) job.pump(folded);
  return folded;
}

}  // namespace

int MachineCores() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(std::min<unsigned>(cores, kMaxWorkerThreads));
}

int WorkerThreads() {
  const int threads = g_threads.load(std::memory_order_relaxed);
  return threads > 0 ? threads : MachineCores();
}

void SetWorkerThreads(int threads) {
  g_threads.store(std::clamp(threads, 1, kMaxWorkerThreads), std::memory_order_relaxed);
}

void SetStopQuery(StopQuery query) {
  std::lock_guard<std::mutex> lock(g_stopMutex);
  g_stopQuery = std::move(query);
}

int BlockSlots(int threads) { return threads <= 1 ? 1 : 2 * std::min(threads, kMaxWorkerThreads); }

int RunBlocks(const BlockJob& job, int threads) {
  if (job.blocks <= 0) {
    if (!t_onWorker && job.pump) job.pump(0);
    return 0;
  }
  threads = std::clamp(threads, 1, kMaxWorkerThreads);
  if (t_onWorker) return RunHere(job, false);
  if (threads == 1 || job.blocks == 1) return RunHere(job, true);
  return RunOnWorkers(job, std::min(threads, job.blocks));
}

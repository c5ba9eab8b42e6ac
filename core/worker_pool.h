#pragma once
// The worker threads of the long loops: the continuum's moments, the event
// analysis' members, the matrix probability's control groups, the curves'
// points.
//
// A loop is cut into blocks whose boundaries the loop itself fixes (never
// the number of threads). RunBlocks computes the blocks on the workers in
// any order, each into one of a few scratch slots, and folds them one at a
// time strictly in block order: a sum that the fold adds to gets exactly
// the additions, in exactly the order, of a loop on one thread, so the
// results are the same to the bit for every number of threads.
//
// The calling thread computes nothing while the workers run: it calls the
// job's pump every few tens of milliseconds (to move a progress bar and
// keep a window alive) and asks the stop query whether to end early. The
// workers touch nothing but their blocks; the lines the core prints while
// a worker computes (its rare diagnostics) are kept with the block and
// printed on the calling thread, in block order, before the next pump.
//
// With one thread, or one block, the blocks run on the calling thread
// itself, computed and folded one after the other, the pump and the stop
// query between them; a run started from inside a worker does so as well.
//
// Why a pool of our own rather than OpenMP or oneTBB: the fold in block
// order, the waiting calling thread that pumps, and the stop at the next
// block are each a few lines here, the standard library is all it needs,
// and ThreadSanitizer sees every synchronisation it makes (it does not see
// those of an uninstrumented OpenMP runtime).
#include <functional>

// The most worker threads a run takes.
inline constexpr int kMaxWorkerThreads = 256;

// The machine's cores (at least 1).
int MachineCores();
// The number of workers runs use unless told otherwise: the machine's
// cores until set. SetWorkerThreads clamps to 1..kMaxWorkerThreads.
int WorkerThreads();
void SetWorkerThreads(int threads);

// Whether a run should stop. It is asked on the calling thread only (so
// it may look at a window), between blocks or while waiting for the
// workers, every few tens of milliseconds; when it says true, no block is
// started or folded after the ones under way. An empty query never stops.
using StopQuery = std::function<bool()>;
void SetStopQuery(StopQuery query);

struct BlockJob {
  int blocks = 0;
  // Computes block `block` into scratch slot `slot` (0 .. BlockSlots - 1).
  // Called on any worker, in any order, several at once on different
  // slots: it may read what the whole run shares and write only its slot.
  std::function<void(int block, int slot)> compute;
  // Takes block `block` from slot `slot`: blocks 0, 1, 2, ... in this
  // order, one at a time, on some worker (the slot is free again after it).
  // May be empty.
  std::function<void(int block, int slot)> fold;
  // On the calling thread, every few tens of milliseconds and once at the
  // end, with the number of blocks folded so far. May be empty.
  std::function<void(int folded)> pump;
};

// The scratch slots a run on `threads` threads uses: 1 for one thread,
// twice the threads otherwise (blocks run ahead of the fold by at most
// this many).
int BlockSlots(int threads);

// Runs the job on `threads` threads (1 .. kMaxWorkerThreads; the slots
// of the job's scratch are BlockSlots of the same number). Returns the
// number of blocks folded: job.blocks, or fewer when the stop query ended
// the run. An exception thrown by compute or fold stops the run and is
// thrown again here once every worker has ended.
int RunBlocks(const BlockJob& job, int threads);

// The number of blocks of `count` items taken `perBlock` at a time.
constexpr int BlockCount(long long count, int perBlock) {
  return count <= 0 ? 0 : static_cast<int>((count + perBlock - 1) / perBlock);
}

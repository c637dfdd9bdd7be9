#include "base/cThreadPool.h"

#include <algorithm>
#include <chrono>

#include <sched.h>

namespace {

// Set while this thread runs chunks: a loop started there runs inline.
thread_local bool tInsideLoop = false;

// A frame runs a dozen loops a few hundred microseconds apart, and waking a
// sleeping thread costs tens of microseconds on a virtual machine: both sides
// poll briefly before they sleep. Briefly, because under a software GL driver
// the driver's threads want the cores too.
constexpr std::chrono::microseconds kPollTime(50);

template <typename Ready>
bool PollUntil(Ready ready) {
  const auto end = std::chrono::steady_clock::now() + kPollTime;
  while (!ready()) {
    for (int i = 0; i < 16; ++i) __builtin_ia32_pause();
    if (std::chrono::steady_clock::now() >= end) return ready();
  }
  return true;
}

}  // namespace

cThreadPool::cThreadPool(int threads) { Start(threads); }

cThreadPool::~cThreadPool() { Stop(); }

cThreadPool& cThreadPool::Shared() {
  static cThreadPool pool(CoreCount());
  return pool;
}

// The cores this process may run on, so that a run pinned to one core gets the single-thread path.
int cThreadPool::CoreCount() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(CPU_COUNT(&set), 1);
  return static_cast<int>(std::max(std::thread::hardware_concurrency(), 1u));
}

void cThreadPool::SetThreadCount(int threads) {
  std::lock_guard<std::mutex> loop(loopMutex_);
  Stop();
  Start(threads);
}

void cThreadPool::Start(int threads) {
  stopping_ = false;
  for (int i = 1; i < threads; ++i) workers_.emplace_back([this] { WorkerLoop(); });
}

void cThreadPool::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
}

void cThreadPool::ParallelFor(size_t count, size_t grain, const Body& body) {
  if (count == 0) return;
  grain = std::max<size_t>(grain, 1);
  const size_t chunks = (count - 1) / grain + 1;
  if (workers_.empty() || chunks == 1 || tInsideLoop || !loopMutex_.try_lock()) {
    body(0, count);
    return;
  }
  std::lock_guard<std::mutex> loop(loopMutex_, std::adopt_lock);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    loop_ = Loop{&body, count, grain};
    next_.store(0);
    chunksLeft_ = chunks;
    open_ = true;
    ++generation_;
    PublishBusy();
  }
  wake_.notify_all();
  const size_t done = RunChunks(loop_);
  std::unique_lock<std::mutex> lock(mutex_);
  chunksLeft_ -= done;
  PublishBusy();
  if (chunksLeft_ != 0 || participants_ != 0) {
    lock.unlock();
    PollUntil([this] { return busy_.load(std::memory_order_acquire) == 0; });
    lock.lock();
  }
  // Workers that joined late may still be looking for a chunk; none is left for them.
  finished_.wait(lock, [this] { return chunksLeft_ == 0 && participants_ == 0; });
  open_ = false;
}

void cThreadPool::WorkerLoop() {
  unsigned seen = 0;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    if (!stopping_ && generation_ == seen) {
      lock.unlock();
      PollUntil([&] { return generation_.load(std::memory_order_acquire) != seen; });
      lock.lock();
    }
    wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
    if (stopping_) return;
    seen = generation_;
    if (!open_) continue;  // woke after that loop had ended
    const Loop loop = loop_;
    ++participants_;
    PublishBusy();
    lock.unlock();
    const size_t done = RunChunks(loop);
    lock.lock();
    chunksLeft_ -= done;
    --participants_;
    PublishBusy();
    if (chunksLeft_ == 0 && participants_ == 0) finished_.notify_one();
  }
}

void cThreadPool::PublishBusy() { busy_.store(chunksLeft_ + participants_, std::memory_order_release); }

size_t cThreadPool::RunChunks(const Loop& loop) {
  tInsideLoop = true;
  size_t done = 0;
  for (;;) {
    const size_t begin = next_.fetch_add(1) * loop.grain;
    if (begin >= loop.count) break;
    (*loop.body)(begin, std::min(begin + loop.grain, loop.count));
    ++done;
  }
  tInsideLoop = false;
  return done;
}

// A few worker threads, made once, that share loops whose iterations are
// independent (rows of a heightmap, strips of a transform, runs of vertices).
// The calling thread takes chunks too, so a pool of one thread has no workers
// and runs every loop inline: that is the default on a one-core machine.
// Only CPU work goes through here; device calls stay on the calling thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class cThreadPool {
 public:
  // Calls body(begin, end) over a range of iterations.
  using Body = std::function<void(size_t begin, size_t end)>;

  // `threads` counts the caller; below 1 means one.
  explicit cThreadPool(int threads);
  ~cThreadPool();
  cThreadPool(const cThreadPool&) = delete;
  cThreadPool& operator=(const cThreadPool&) = delete;

  // The process's pool, one thread per core, made on first use.
  static cThreadPool& Shared();
  static int CoreCount();

  // Ends the workers and starts threads - 1 new ones. Not while a loop runs.
  void SetThreadCount(int threads);
  int GetThreadCount() const { return static_cast<int>(workers_.size()) + 1; }

  // Runs body over [0, count) in chunks of `grain` iterations (at least 1)
  // and returns when every chunk is done. Which thread runs a chunk is not
  // fixed, so a body writes only what its own iterations own. A loop started
  // from inside a body, or while another thread's loop runs, runs inline.
  void ParallelFor(size_t count, size_t grain, const Body& body);

 private:
  struct Loop {
    const Body* body = nullptr;
    size_t count = 0, grain = 1;
  };

  void Start(int threads);
  void Stop();
  void WorkerLoop();
  // Takes chunks of `loop` until none is left; returns how many it ran.
  size_t RunChunks(const Loop& loop);
  // Mirrors the guarded counts for threads polling without the mutex. Called
  // with mutex_ held after every change of them.
  void PublishBusy();

  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable wake_, finished_;
  std::mutex loopMutex_;  // held by the thread whose loop is running
  // Guarded by mutex_: the current loop, whether workers may still join it,
  // its chunks not yet run and the workers inside it.
  bool stopping_ = false;
  std::atomic<unsigned> generation_{0};  // also read without the mutex while polling
  Loop loop_;
  bool open_ = false;
  size_t chunksLeft_ = 0;
  int participants_ = 0;
  // The next chunk to take; reset only while no worker is inside a loop.
  std::atomic<size_t> next_{0};
  // chunksLeft_ + participants_, read without the mutex while polling.
  std::atomic<size_t> busy_{0};
};

#include "platform/PassTiming.h"

#ifdef EDITOR_PASS_TIMING

#include <chrono>
#include <ctime>

#include "platform/device/Backend.h"

namespace platform {
namespace {

// CPU seconds of every thread of the process: the driver's own threads
// (a software rasteriser's) included, and a loaded machine's waits left out.
double ProcessCPUSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct PassClock {
  const char* pass = "other";
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  double cpuStart = ProcessCPUSeconds();
  std::map<std::string, double> seconds;
};

PassClock& Clock() {
  static PassClock clock;
  return clock;
}

}  // namespace

const char* BeginPass(const char* pass) {
  PassClock& clock = Clock();
  CurrentBackend().FinishWork();
  const auto now = std::chrono::steady_clock::now();
  const double cpuNow = ProcessCPUSeconds();
  clock.seconds[std::string("gl:") + clock.pass] += std::chrono::duration<double>(now - clock.start).count();
  clock.seconds[std::string("cpu:") + clock.pass] += cpuNow - clock.cpuStart;
  clock.start = now;
  clock.cpuStart = cpuNow;
  const char* previous = clock.pass;
  clock.pass = pass ? pass : "other";
  return previous;
}

std::map<std::string, double> TakePassTimes() {
  BeginPass(Clock().pass);
  std::map<std::string, double> seconds;
  seconds.swap(Clock().seconds);
  return seconds;
}

}  // namespace platform

#endif

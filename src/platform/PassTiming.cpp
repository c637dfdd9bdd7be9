#include "platform/PassTiming.h"

#ifdef EDITOR_PASS_TIMING

#include <chrono>

#include "platform/device/Backend.h"

namespace platform {
namespace {

struct PassClock {
  const char* pass = "other";
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
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
  clock.seconds[clock.pass] += std::chrono::duration<double>(now - clock.start).count();
  clock.start = now;
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

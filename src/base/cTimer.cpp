#include "base/cTimer.h"

#include "platform/win32.h"

namespace {

int64_t ReadCounter() {
  LARGE_INTEGER count{0};
  QueryPerformanceCounter(&count);
  return count.QuadPart;
}

}  // namespace

cTimer::cTimer() {
  LARGE_INTEGER countsPerSecond{0};
  QueryPerformanceFrequency(&countsPerSecond);
  frequency = countsPerSecond.QuadPart;
  current = ReadCounter();
  last = current;
}

void cTimer::Tick() {
  current = ReadCounter();
  delta = static_cast<float>(static_cast<double>(current - last) / static_cast<double>(frequency));
  last = current;
  total += delta;
}

void cTimer::Reset() {
  total = 0.0f;
  delta = 0.0f;
  current = ReadCounter();
  last = current;
}

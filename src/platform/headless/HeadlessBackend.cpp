#include "platform/headless/HeadlessBackend.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "platform/device/Formats.h"

namespace platform::headless {

HeadlessBackend::HeadlessBackend(const HeadlessProfile& profile) : profile_(profile) {}

bool HeadlessBackend::SupportsFormat(DWORD usage, D3DRESOURCETYPE type, D3DFORMAT format) {
  const std::vector<D3DFORMAT>& refused = profile_.unsupportedFormats;
  if (std::find(refused.begin(), refused.end(), format) != refused.end()) return false;
  if (type == D3DRTYPE_VERTEXBUFFER) return format == D3DFMT_VERTEXDATA;
  if (type == D3DRTYPE_INDEXBUFFER) return format == D3DFMT_INDEX16 || format == D3DFMT_INDEX32;
  if (usage & D3DUSAGE_DEPTHSTENCIL) return IsDepthFormat(format);
  if (!IsColorFormat(format)) return false;
  if ((usage & D3DUSAGE_QUERY_VERTEXTEXTURE) &&
      !(profile_.vertexTextures && (format == D3DFMT_R32F || format == D3DFMT_A32B32G32R32F))) {
    return false;
  }
  // The back buffer check of CheckDeviceType asks for a render-target surface.
  if (type == D3DRTYPE_SURFACE && (usage & D3DUSAGE_RENDERTARGET) && format == D3DFMT_A8R8G8B8) {
    return profile_.backBufferA8R8G8B8;
  }
  return true;
}

HRESULT HeadlessBackend::CreateDevice(HWND, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS&) {
  if (profile_.createDeviceFailures > 0) {
    --profile_.createDeviceFailures;
    return D3DERR_NOTAVAILABLE;
  }
  constexpr DWORD kHardware = D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING;
  if (!profile_.hardwareVertexProcessing && (behaviorFlags & kHardware)) return D3DERR_NOTAVAILABLE;
  loss_ = Loss::None;
  return D3D_OK;
}

HRESULT HeadlessBackend::CooperativeLevel() {
  switch (loss_) {
    case Loss::Lost:
      loss_ = Loss::NotReset;
      return D3DERR_DEVICELOST;
    case Loss::NotReset:
      return D3DERR_DEVICENOTRESET;
    case Loss::None:
      break;
  }
  return D3D_OK;
}

// As on a real device, a failed reset leaves the device waiting for another one.
HRESULT HeadlessBackend::Reset(const D3DPRESENT_PARAMETERS&) {
  if (loss_ == Loss::Lost) return D3DERR_DEVICELOST;
  if (failingResets_ > 0) {
    --failingResets_;
    loss_ = Loss::NotReset;
    return D3DERR_DEVICELOST;
  }
  loss_ = Loss::None;
  return D3D_OK;
}

HWND HeadlessBackend::CreateMainWindow(const char*) {
  // Handles are opaque; any distinct non-null value will do.
  return reinterpret_cast<HWND>(++windows_ * 16);
}

void HeadlessBackend::ShellOpen(const char* target) { Recorded().shellOpens.push_back(target ? target : ""); }

// Backwards steps are ignored and huge ones capped, so the counter never wraps.
void HeadlessBackend::AdvanceClock(double seconds) {
  constexpr double kLongestStep = 1e9;
  if (seconds > 0) counter_ += std::llround(std::min(seconds, kLongestStep) * kFrequency);
}

namespace {

// CPU time of every thread of the process, in counter ticks.
int64_t ProcessCPUTicks(int64_t frequency) {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec * frequency + now.tv_nsec / (1'000'000'000 / frequency);
}

}  // namespace

void HeadlessBackend::UseCPUClock() {
  cpuClock_ = true;
  cpuStart_ = ProcessCPUTicks(kFrequency);
}

int64_t HeadlessBackend::Counter() {
  return cpuClock_ ? counter_ + ProcessCPUTicks(kFrequency) - cpuStart_ : counter_;
}

namespace {

HeadlessBackend* Current() { return dynamic_cast<HeadlessBackend*>(&CurrentBackend()); }

}  // namespace

void AdvanceClock(double seconds) {
  if (HeadlessBackend* backend = Current()) backend->AdvanceClock(seconds);
}

void UseCPUClock() {
  if (HeadlessBackend* backend = Current()) backend->UseCPUClock();
}

void LoseDevice() {
  if (HeadlessBackend* backend = Current()) backend->LoseDevice();
}

void FailResets(int count) {
  if (HeadlessBackend* backend = Current()) backend->FailResets(count);
}

}  // namespace platform::headless

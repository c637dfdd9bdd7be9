// The backend without pixels: capabilities from a profile, a clock that only
// moves when told, scripted device loss and failures. Draws reach it and are
// dropped; the front end records them.
#pragma once

#include "platform/Platform.h"
#include "platform/device/Backend.h"

namespace platform::headless {

class HeadlessBackend : public Backend {
 public:
  explicit HeadlessBackend(const HeadlessProfile& profile);

  D3DCAPS9 Caps() override { return profile_.caps; }
  D3DDISPLAYMODE DesktopMode() override { return profile_.desktop; }
  std::vector<D3DDISPLAYMODE> DisplayModes() override { return profile_.modes; }
  bool SupportsFormat(DWORD usage, D3DRESOURCETYPE type, D3DFORMAT format) override;

  HRESULT CreateDevice(HWND window, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS& parameters) override;
  HRESULT CooperativeLevel() override;
  HRESULT Reset(const D3DPRESENT_PARAMETERS& parameters) override;
  void Present() override {}
  void DestroyDevice() override {}

  void ReleaseTexture(TextureData&) override {}
  void ReleaseSurface(SurfaceData&) override {}
  void ReleaseBuffer(BufferData&) override {}
  void ReleaseEffect(EffectProgram&) override {}
  // The file was parsed at load; there is no GLSL compiler here.
  bool CompileEffect(EffectProgram&, std::string&) override { return true; }

  void Clear(const DrawState&, DWORD, D3DCOLOR, float) override {}
  void Draw(const DrawState&, const DrawCall&) override {}
  bool ReadSurface(SurfaceData&, std::vector<uint8_t>&) override { return false; }

  HWND CreateMainWindow(const char* title) override;
  bool PollNativeMessage(MSG*) override { return false; }
  POINT CursorPos() override { return cursor_; }
  void SetCursorPos(POINT point) override { cursor_ = point; }
  int64_t Counter() override;
  int64_t Frequency() override { return kFrequency; }
  void ShowMessageBox(const std::wstring&, const std::wstring&) override {}
  void ShellOpen(const char* target) override;

  // The controls behind headless::AdvanceClock, LoseDevice and FailResets.
  void AdvanceClock(double seconds);
  void UseCPUClock();
  void LoseDevice() { loss_ = Loss::Lost; }
  void FailResets(int count) { failingResets_ = count; }

 private:
  enum class Loss { None, Lost, NotReset };
  static constexpr int64_t kFrequency = 10'000'000;

  HeadlessProfile profile_;
  Loss loss_ = Loss::None;
  int failingResets_ = 0;
  int64_t counter_ = 1'000 * kFrequency;  // a running machine's counter is never 0
  // Set by UseCPUClock: the counter also moves with the process's CPU time from then on.
  bool cpuClock_ = false;
  int64_t cpuStart_ = 0;
  POINT cursor_{0, 0};
  uintptr_t windows_ = 0;
};

}  // namespace platform::headless

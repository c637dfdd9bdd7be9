// A headless backend that keeps what reaches it.
#pragma once

#include <vector>

#include "platform/headless/HeadlessBackend.h"

namespace platform::testing {

class SpyBackend : public headless::HeadlessBackend {
 public:
  using HeadlessBackend::HeadlessBackend;

  void Draw(const DrawState& state, const DrawCall& call) override {
    states.push_back(state);
    calls.push_back(call);
  }
  void Clear(const DrawState& state, DWORD flags, D3DCOLOR color, float) override {
    clears.push_back({state.viewport, flags, color});
  }

  struct ClearCall {
    D3DVIEWPORT9 viewport;
    DWORD flags;
    D3DCOLOR color;
  };
  std::vector<DrawState> states;
  std::vector<DrawCall> calls;
  std::vector<ClearCall> clears;
};

// Installs a spy with the profile of the device's backend; the device keeps
// working on whichever backend is current.
inline SpyBackend* InstallSpy() {
  auto backend = std::make_unique<SpyBackend>(HeadlessProfile::ShaderModel3());
  SpyBackend* spy = backend.get();
  InstallBackend(std::move(backend));
  return spy;
}

}  // namespace platform::testing

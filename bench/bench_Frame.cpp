// Whole editor frames on the headless backend, one per engine type: everything
// Update and RenderScene do (heightmap update, normal map, texture writes,
// extrusion, the engine's per-vertex work and the recorded draw submission,
// the GUI) at the menus' default values with every pass and feature on. FFT
// heightmap 512, FFT normal map, a 256 x 256 simple grid (the default radial
// grid for shader model 3), 512 x 512 targets. BM_FrameGL runs the same frames
// on the OpenGL backend at 1024 x 768 (run it under tools/with-display.sh): its
// time per frame is the editor's frame rate under Xvfb.
#include <benchmark/benchmark.h>

#include "support/DefaultScene.h"
#include "platform/Platform.h"

namespace {

const char* EngineLabel(int engineType) {
  switch (engineType) {
    case ENGINE_FFP: return "FFP";
    case ENGINE_SM1: return "SM1";
    case ENGINE_SM2: return "SM2";
    default: return "SM3";
  }
}

void RunFrames(benchmark::State& state, scene_support::DefaultScene& scene, bool headless) {
  for (auto _ : state) {
    if (headless) platform::headless::AdvanceClock(1.0 / 60.0);
    if (scene.editor->Frame() != S_OK) state.SkipWithError("Frame failed");
    // The record would grow by every draw of every frame.
    platform::Recorded().Clear();
  }
  state.SetLabel(EngineLabel(static_cast<int>(state.range(0))));
}

void BM_Frame(benchmark::State& state) {
  platform::UseHeadlessBackend();
  scene_support::DefaultScene scene;
  const std::string error = scene.Start(static_cast<int>(state.range(0)));
  if (!error.empty()) {
    state.SkipWithError(error.c_str());
    return;
  }
  RunFrames(state, scene, true);
}

void BM_FrameGL(benchmark::State& state) {
  std::string error;
  if (!platform::UseGLBackend(&error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  scene_support::DefaultScene scene;
  error = scene.Start(static_cast<int>(state.range(0)));
  D3DDISPLAYMODE mode = scene.editor ? scene.editor->displayMode : D3DDISPLAYMODE{};
  mode.Width = 1024;
  mode.Height = 768;
  if (error.empty() && !scene.editor->ChangeDisplayMode(mode)) error = "display mode";
  if (!error.empty()) {
    state.SkipWithError(error.c_str());
    return;
  }
  RunFrames(state, scene, false);
}

void EngineTypes(benchmark::internal::Benchmark* benchmark) {
  for (int type : {ENGINE_FFP, ENGINE_SM1, ENGINE_SM2, ENGINE_SM3}) benchmark->Arg(type);
  benchmark->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_Frame)->Apply(EngineTypes)->MinTime(2.0);
BENCHMARK(BM_FrameGL)->Apply(EngineTypes)->MinTime(5.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

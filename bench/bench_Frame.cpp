// Whole editor frames on the headless backend, one per engine type: everything
// Update and RenderScene do (heightmap update, normal map, texture writes,
// extrusion, the engine's per-vertex work and the recorded draw submission,
// the GUI) at the menus' default values with every pass and feature on. FFT
// heightmap 512, FFT normal map, a 256 x 256 simple grid (the default radial
// grid for shader model 3), 512 x 512 targets. BM_FrameGL runs the same frames
// on the OpenGL backend at 1024 x 768 (run it under tools/with-display.sh): its
// time per frame is the editor's frame rate under Xvfb.
//
// The second argument is the number of threads the CPU steps may use (the
// calling thread included). The counters are the editor's own step times in
// milliseconds per frame; "rest" is the frame less those steps (GUI, sky,
// passes, draw submission). Headless, they and the frame are CPU time of the
// whole process, which a loaded machine disturbs less than real time; on the
// OpenGL backend they are real time, and "cpuAll" is the CPU time of every
// thread of the process (llvmpipe's rasteriser threads included), which on a
// loaded machine says more than real time. A build with EDITOR_PASS_TIMING also
// reports the GL frame pass by pass ("gl:..." real time, "cpu:..." CPU time of
// the process, see platform/PassTiming.h).
#include <benchmark/benchmark.h>

#include <ctime>

#include "base/cThreadPool.h"
#include "support/DefaultScene.h"
#include "platform/PassTiming.h"
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

struct StepTimes {
  double heightmapUpdate = 0, heightmapWrite = 0, normalmapCompute = 0, normalmapWrite = 0, extrusion = 0,
         render = 0, frame = 0;

  void Add(const cEditor& editor, double frameSeconds) {
    heightmapUpdate += editor.timings.heightmapUpdate;
    heightmapWrite += editor.timings.heightmapWrite;
    normalmapCompute += editor.timings.normalmapCompute;
    normalmapWrite += editor.timings.normalmapWrite;
    extrusion += editor.timings.geometryExtrusion;
    render += editor.timings.engineRender;
    frame += frameSeconds;
  }

  void Report(benchmark::State& state) const {
    const auto perFrame = [](double seconds) {
      return benchmark::Counter(seconds * 1e3, benchmark::Counter::kAvgIterations);
    };
    state.counters["hmUpdate"] = perFrame(heightmapUpdate);
    state.counters["hmTex"] = perFrame(heightmapWrite);
    state.counters["nmCompute"] = perFrame(normalmapCompute);
    state.counters["nmTex"] = perFrame(normalmapWrite);
    state.counters["extrude"] = perFrame(extrusion);
    state.counters["render"] = perFrame(render);
    state.counters["rest"] = perFrame(frame - heightmapUpdate - heightmapWrite - normalmapCompute - normalmapWrite -
                                      extrusion - render);
  }
};

// Seconds on the clock the editor's timers read.
double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// CPU seconds of every thread of the process, the GL driver's included.
double ProcessCPUSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// In a pass-timing build, milliseconds per frame of every GL pass as counters
// ("gl:" real time, "cpu:" CPU time of the whole process).
void ReportPassTimes(benchmark::State& state) {
  for (const auto& [pass, seconds] : platform::TakePassTimes()) {
    state.counters[pass] = benchmark::Counter(seconds * 1e3, benchmark::Counter::kAvgIterations);
  }
}

void RunFrames(benchmark::State& state, scene_support::DefaultScene& scene, bool headless) {
  cThreadPool::Shared().SetThreadCount(static_cast<int>(state.range(1)));
  platform::TakePassTimes();
  StepTimes times;
  const double cpuStart = ProcessCPUSeconds();
  for (auto _ : state) {
    if (headless) platform::headless::AdvanceClock(1.0 / 60.0);
    const double start = Now();
    if (scene.editor->Frame() != S_OK) state.SkipWithError("Frame failed");
    times.Add(*scene.editor, Now() - start);
    // The record would grow by every draw of every frame.
    platform::Recorded().Clear();
  }
  times.Report(state);
  if (!headless) {
    // With a software rasteriser most of a frame's work runs on the driver's threads.
    state.counters["cpuAll"] =
        benchmark::Counter((ProcessCPUSeconds() - cpuStart) * 1e3, benchmark::Counter::kAvgIterations);
    ReportPassTimes(state);
  }
  state.SetLabel(EngineLabel(static_cast<int>(state.range(0))));
  cThreadPool::Shared().SetThreadCount(cThreadPool::CoreCount());
}

void BM_Frame(benchmark::State& state) {
  platform::UseHeadlessBackend();
  platform::headless::UseCPUClock();
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

// Every engine type on one thread, then on every core when there are more.
void EngineTypes(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgNames({"engine", "threads"});
  for (int threads : {1, cThreadPool::CoreCount()}) {
    for (int type : {ENGINE_FFP, ENGINE_SM1, ENGINE_SM2, ENGINE_SM3}) benchmark->Args({type, threads});
    if (cThreadPool::CoreCount() == 1) break;
  }
  benchmark->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_Frame)->Apply(EngineTypes)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_FrameGL)->Apply(EngineTypes)->MinTime(5.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

// Heightmap generation speed: cFFT::Run against FFTW's single-precision 2D
// real-output (c2r) and complex transforms of the same size, and
// cFFTHeightmap::Update against the same update written plainly with FFTW (two
// libm calls per element). Everything runs on one thread: the shared pool is
// cut to the calling thread first. With --benchmark_repetitions the summary
// uses the medians.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/cThreadPool.h"
#include "heightmap/cFFT.h"
#include "heightmap/cFFTHeightmap.h"
#include "heightmap/cPerlinNoiseHeightmap.h"

#ifdef HAVE_FFTW
#include <fftw3.h>
#endif

namespace {

std::vector<std::complex<float>> RandomSpectrum(int n) {
  std::mt19937 generator(5);
  std::normal_distribution<float> value;
  std::vector<std::complex<float>> spectrum(static_cast<size_t>(n) * n);
  for (auto& x : spectrum) x = {value(generator), value(generator)};
  return spectrum;
}

void BM_cFFTRun(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const auto input = RandomSpectrum(n);
  cFFT fft;
  fft.Create(n);
  fft.SetInput(input.data());
  for (auto _ : state) {
    fft.Run();
    benchmark::DoNotOptimize(fft.GetOutput());
  }
}
BENCHMARK(BM_cFFTRun)->Arg(256)->Arg(512)->Arg(1024)->Arg(2048)->Unit(benchmark::kMicrosecond);

void InitializeOcean(cFFTHeightmap& heightmap, int n) {
  const D3DXVECTOR2 wind(1.0f, 1.0f);
  heightmap.Initialize(n, 4, &wind, 4.0f, 1);
}

void BM_FFTHeightmapUpdate(benchmark::State& state) {
  cFFTHeightmap heightmap;
  InitializeOcean(heightmap, static_cast<int>(state.range(0)));
  float t = 0.0f;
  for (auto _ : state) {
    heightmap.Update(t += 0.016f);
    benchmark::DoNotOptimize(heightmap.GetHeights());
  }
}
BENCHMARK(BM_FFTHeightmapUpdate)->Arg(256)->Arg(512)->Arg(1024)->Arg(2048)->Unit(benchmark::kMicrosecond);

// The menu's defaults: persistence 1, 4 octaves, grid size 4.
void BM_PerlinNoiseHeightmapUpdate(benchmark::State& state) {
  cPerlinNoiseHeightmap heightmap;
  heightmap.Initialize(static_cast<int>(state.range(0)), 1.0f, 4, 4, false);
  float t = 0.0f;
  for (auto _ : state) {
    heightmap.Update(t += 0.016f);
    benchmark::DoNotOptimize(heightmap.GetHeights());
  }
}
BENCHMARK(BM_PerlinNoiseHeightmapUpdate)->Arg(256)->Arg(512)->Arg(1024)->Unit(benchmark::kMicrosecond);

#ifdef HAVE_FFTW
void BM_FFTWComplex2D(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const size_t count = static_cast<size_t>(n) * n;
  auto* in = fftwf_alloc_complex(count);
  auto* out = fftwf_alloc_complex(count);
  fftwf_plan plan = fftwf_plan_dft_2d(n, n, in, out, FFTW_BACKWARD, FFTW_MEASURE);
  const auto input = RandomSpectrum(n);
  for (size_t i = 0; i < count; ++i) {
    in[i][0] = input[i].real();
    in[i][1] = input[i].imag();
  }
  for (auto _ : state) {
    fftwf_execute(plan);
    benchmark::DoNotOptimize(out);
  }
  fftwf_destroy_plan(plan);
  fftwf_free(in);
  fftwf_free(out);
}
BENCHMARK(BM_FFTWComplex2D)->Arg(256)->Arg(512)->Arg(1024)->Arg(2048)->Unit(benchmark::kMicrosecond);

// FFTW's real-output transform of the same size, for reference: cFFT computes
// only the real part, which is what this one does.
void BM_FFTWRealOutput2D(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  auto* in = fftwf_alloc_complex(static_cast<size_t>(n) * (n / 2 + 1));
  auto* out = fftwf_alloc_real(static_cast<size_t>(n) * n);
  fftwf_plan plan = fftwf_plan_dft_c2r_2d(n, n, in, out, FFTW_MEASURE);
  const auto input = RandomSpectrum(n);
  for (size_t i = 0; i < static_cast<size_t>(n) * (n / 2 + 1); ++i) {
    in[i][0] = input[i].real();
    in[i][1] = input[i].imag();
  }
  for (auto _ : state) {
    // c2r destroys its input; the values do not change the cost.
    fftwf_execute(plan);
    benchmark::DoNotOptimize(out);
  }
  fftwf_destroy_plan(plan);
  fftwf_free(in);
  fftwf_free(out);
}
BENCHMARK(BM_FFTWRealOutput2D)->Arg(256)->Arg(512)->Arg(1024)->Arg(2048)->Unit(benchmark::kMicrosecond);

// The same update written plainly: libm sine and cosine per element, FFTW's
// complex transform, the sign pass and automatic normalisation, on the
// spectrum and frequencies of an initialised cFFTHeightmap.
class PlainFFTWUpdate {
 public:
  explicit PlainFFTWUpdate(int n) : n_(n), count_(static_cast<size_t>(n) * n), heights_(count_), frequencies_(count_) {
    cFFTHeightmap heightmap;
    InitializeOcean(heightmap, n);
    initial_.assign(heightmap.GetInitialSpectrum(), heightmap.GetInitialSpectrum() + count_);
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        const float kx = (i - n * 0.5f) * (6.2831855f / 4), kz = (j - n * 0.5f) * (6.2831855f / 4);
        frequencies_[i * n + j] = std::sqrt(std::sqrt(kx * kx + kz * kz) * 9.81f);
      }
    }
    in_ = fftwf_alloc_complex(count_);
    out_ = fftwf_alloc_complex(count_);
    plan_ = fftwf_plan_dft_2d(n, n, in_, out_, FFTW_BACKWARD, FFTW_MEASURE);
  }
  ~PlainFFTWUpdate() {
    fftwf_destroy_plan(plan_);
    fftwf_free(in_);
    fftwf_free(out_);
  }

  void Update(float t) {
    const float time = t + 10000.0f;
    for (size_t i = 0; i < count_; ++i) {
      const float phase = time * frequencies_[i];
      const float c = std::cos(phase), s = std::sin(phase);
      const std::complex<float> a = initial_[i], m = std::conj(initial_[count_ - 1 - i]);
      in_[i][0] = a.real() * c - a.imag() * s + m.real() * c - m.imag() * -s;
      in_[i][1] = a.real() * s + a.imag() * c + m.real() * -s + m.imag() * c;
    }
    fftwf_execute(plan_);
    float lowest = 1e7f, highest = -1e7f;
    for (int r = 0; r < n_; ++r) {
      for (int c = 0; c < n_; ++c) {
        const size_t i = static_cast<size_t>(r) * n_ + c;
        heights_[i] = (r + c) % 2 == 0 ? -out_[i][0] : out_[i][0];
        lowest = std::min(lowest, heights_[i]);
        highest = std::max(highest, heights_[i]);
      }
    }
    peak_ = std::max(peak_, std::max(std::fabs(lowest), std::fabs(highest)));
    const float s = peak_ + 0.000001f;
    for (float& h : heights_) h = std::clamp((s + h) / (s + s), 0.0f, 1.0f);
  }
  const float* Heights() const { return heights_.data(); }

 private:
  int n_;
  size_t count_;
  std::vector<float> heights_, frequencies_;
  std::vector<std::complex<float>> initial_;
  fftwf_complex* in_;
  fftwf_complex* out_;
  fftwf_plan plan_;
  float peak_ = -1.0f;
};

void BM_PlainFFTWUpdate(benchmark::State& state) {
  PlainFFTWUpdate update(static_cast<int>(state.range(0)));
  float t = 0.0f;
  for (auto _ : state) {
    update.Update(t += 0.016f);
    benchmark::DoNotOptimize(update.Heights());
  }
}
BENCHMARK(BM_PlainFFTWUpdate)->Arg(256)->Arg(512)->Arg(1024)->Arg(2048)->Unit(benchmark::kMicrosecond);
#endif

// Prints the usual console output, keeps the median (or the only) CPU time of
// every benchmark, and ends with the comparison table.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  SummaryReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      if (median || single) times_[run.run_name.function_name][std::stoi(run.run_name.args)] = run.GetAdjustedCPUTime();
    }
  }

  void PrintSummary() const {
    std::printf("\nMedian CPU time per call, microseconds (single thread)\n");
    std::printf("%6s %12s %12s %7s %12s %14s %14s %7s\n", "N", "cFFT::Run", "FFTW c2r", "ratio", "FFTW c2c",
                "cFFTHm Update", "plain FFTW", "ratio");
    for (int n : {256, 512, 1024, 2048}) {
      const double run = Time("BM_cFFTRun", n), c2r = Time("BM_FFTWRealOutput2D", n);
      const double update = Time("BM_FFTHeightmapUpdate", n), plain = Time("BM_PlainFFTWUpdate", n);
      std::printf("%6d %12.1f %12.1f %7.2f %12.1f %14.1f %14.1f %7.2f\n", n, run, c2r, run / c2r,
                  Time("BM_FFTWComplex2D", n), update, plain, update / plain);
    }
  }

 private:
  double Time(const std::string& name, int n) const {
    const auto family = times_.find(name);
    if (family == times_.end()) return NAN;
    const auto entry = family->second.find(n);
    return entry == family->second.end() ? NAN : entry->second;
  }

  std::map<std::string, std::map<int, double>> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  cThreadPool::Shared().SetThreadCount(1);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}

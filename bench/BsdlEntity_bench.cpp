// Boundary-scan descriptions: building the largest built-in entity from its tables, and reading
// the largest BSDL file (2775 cells, 1517 pins) from text to entity.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bsdl/Tavix.BSDL.Builder.h"
#include "catalog/Device_Arria5GZ_Bsdl.h"
#include "host/Opal.Util.h"
#include "platform/Files.h"

namespace tavix {
namespace {

constexpr const char* kLargest = "5AGZME5K2F40.bsd";

void BM_BuildLargestBuiltInEntity(benchmark::State& state) {
  const int32_t index = FindDescription(kLargest);
  for (auto _ : state) {
    auto lists = std::make_unique<TBsdlLookupLists>();
    TBSDLEntityPtr entity = BuildEntity(index, *lists);
    benchmark::DoNotOptimize(entity.get());
    state.PauseTiming();  // freeing is not building
    entity.reset();
    lists.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_BuildLargestBuiltInEntity)->Unit(benchmark::kMicrosecond);

std::string LargestFileText(benchmark::State& state) {
  std::string text;
  if (!ReadFileText(GetModuleLibraryFolder() + "BSDL/Altera/Arria5GZ/" + kLargest, text))
    state.SkipWithError("the BSDL library beside the benchmark is missing");
  return text;
}

void BM_ParseLargestFileToEntity(benchmark::State& state) {
  const std::string text = LargestFileText(state);
  for (auto _ : state) {
    TBsdlParseResult result = ParseBSDLText(text, kLargest);
    if (!result.Ok()) state.SkipWithError(result.Error().c_str());
    benchmark::DoNotOptimize(result.Entity.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseLargestFileToEntity)->Unit(benchmark::kMillisecond);

void BM_ParseLargestFileToDescription(benchmark::State& state) {
  const std::string text = LargestFileText(state);
  for (auto _ : state) {
    TBsdlReading reading;
    if (!ReadBSDLText(text, kLargest, reading)) state.SkipWithError(reading.Error.c_str());
    benchmark::DoNotOptimize(reading.Description.Cells.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseLargestFileToDescription)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavix

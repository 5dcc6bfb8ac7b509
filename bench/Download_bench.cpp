// The module's own cost per bit of a configuration download: ProgramAlteraDevice against a
// channel whose pin-level lines only count the calls. The time runs from the first TAP move after
// the pauses to
// the end, so the fixed pauses before the data (40 ms and 1 s) do not count.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "jtag/Tavix.Utils.h"
#include "plugin/Device_Arria5GZ_Driver.h"
#include "simhost/SimHost.h"

namespace tavix {
namespace {

using Clock = std::chrono::steady_clock;

// A channel: the DISPIDs of the TAP moves are accepted, the lines count and note the time.
class TCountingChannel : public IJTagLines, public IDispatch {
 public:
  // One counter per kind of call, so that the counting itself adds no chain of dependent
  // memory updates on every call.
  uint64_t TckCalls = 0, TdiCalls = 0, TmsCalls = 0, FlushCalls = 0, OtherCalls = 0;
  uint64_t LineCalls() const { return TckCalls + TdiCalls + TmsCalls + FlushCalls + OtherCalls; }
  void ResetCounts() { TckCalls = TdiCalls = TmsCalls = FlushCalls = OtherCalls = 0; }
  bool Started = false;
  Clock::time_point First;

  HRESULT TAVIX_STDCALL QueryInterface(const GUID& iid, void** object) override {
    if (iid == IID_IJTagLines) *object = static_cast<IJTagLines*>(this);  // first base: no thunks
    else if (iid == IID_IUnknown || iid == IID_IDispatch) *object = static_cast<IDispatch*>(this);
    else return *object = nullptr, E_NOINTERFACE;
    return S_OK;
  }
  int32_t TAVIX_STDCALL AddRef() override { return 1; }
  int32_t TAVIX_STDCALL Release() override { return 1; }
  HRESULT TAVIX_STDCALL GetTypeInfoCount(uint32_t*) override { return E_NOTIMPL; }
  HRESULT TAVIX_STDCALL GetTypeInfo(uint32_t, LCID, void**) override { return E_NOTIMPL; }
  HRESULT TAVIX_STDCALL GetIDsOfNames(const GUID&, OLECHAR**, uint32_t, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT TAVIX_STDCALL Invoke(DISPID id, const GUID&, LCID, uint16_t, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                               uint32_t*) override {
    if (id == 503578) SetResultInt(result, 1);
    // The first TAP move (Run-Test/Idle to Shift-DR) comes right after the pauses.
    if (id == 503605 && !Started) {
      Started = true;
      First = Clock::now();
    }
    return S_OK;
  }

  static HRESULT Count(uint64_t& counter) {
    ++counter;
    return S_OK;
  }
  HRESULT TAVIX_STDCALL GetLineCount(int32_t*) override { return Count(OtherCalls); }
  HRESULT TAVIX_STDCALL Reset() override { return Count(OtherCalls); }
  HRESULT TAVIX_STDCALL SetTck(int32_t) override { return Count(TckCalls); }
  HRESULT TAVIX_STDCALL GetTck(int32_t*) override { return Count(OtherCalls); }
  HRESULT TAVIX_STDCALL SetTdi(int32_t) override { return Count(TdiCalls); }
  HRESULT TAVIX_STDCALL SetTms(int32_t) override { return Count(TmsCalls); }
  HRESULT TAVIX_STDCALL SetTrst(int32_t) override { return Count(OtherCalls); }
  HRESULT TAVIX_STDCALL GetTdo(uint8_t* bit) override {
    *bit = 0;
    return Count(OtherCalls);
  }
  HRESULT TAVIX_STDCALL GetTms(int32_t*) override { return Count(OtherCalls); }
  HRESULT TAVIX_STDCALL GetTdi(int32_t*) override { return Count(OtherCalls); }
  HRESULT TAVIX_STDCALL Flush() override { return Count(FlushCalls); }
  HRESULT TAVIX_STDCALL Capture() override { return Count(OtherCalls); }
};

void BM_ProgramAlteraDevice_ModuleCost(benchmark::State& state) {
  static sim::SimHost host;  // the device manager with the family's parameters
  const size_t bytes = static_cast<size_t>(state.range(0));
  const std::string file = (std::filesystem::temp_directory_path() / "tavix_bench.rbf").string();
  {
    std::vector<char> data(bytes);
    for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<char>(i * 131 + 7);
    std::ofstream(file, std::ios::binary).write(data.data(), static_cast<std::streamsize>(bytes));
  }
  struct TArria : TDevice_Arria5GZDriver {
    using TDevice_Arria5GZDriver::TDevice_Arria5GZDriver;
    std::string GetFamilyName() override { return "Arria5GZ"; }
  } arria(0);
  TCountingChannel channel;
  const IJTagChannel record(static_cast<IDispatch*>(&channel));
  double seconds = 0;
  for (auto _ : state) {
    channel.ResetCounts();
    channel.Started = false;
    const int32_t bits = ProgramAlteraDevice(arria.OwnDriver(), file, record, 0);
    benchmark::DoNotOptimize(bits);
    const double t = std::chrono::duration<double>(Clock::now() - channel.First).count();
    seconds += t;
    state.SetIterationTime(t);
  }
  state.counters["Mbit/s"] = static_cast<double>(bytes) * 8 * static_cast<double>(state.iterations()) / seconds / 1e6;
  state.counters["line calls/bit"] = static_cast<double>(channel.LineCalls()) / (bytes * 8.0);
  std::filesystem::remove(file);
}
BENCHMARK(BM_ProgramAlteraDevice_ModuleCost)->Arg(4 << 20)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavix

BENCHMARK_MAIN();

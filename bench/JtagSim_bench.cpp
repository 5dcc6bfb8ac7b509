// The simulated JTAG chain at the pin level: a full-size configuration image clocked into a
// 5AGZME7 one TCK edge at a time, as the module's download drives the lines.
#include <benchmark/benchmark.h>

#include <vector>

#include "simhost/jtag/SimChain.h"
#include "simhost/jtag/SimChannel.h"
#include "simhost/jtag/SimDeviceCatalog.h"
#include "simhost/jtag/SimImage.h"
#include "simhost/jtag/SimHost.JTag.h"

namespace {

using namespace tavix::jtagsim;

constexpr int kKind5AGZME7 = 28;

const std::vector<uint8_t>& FullImage() {
  static const std::vector<uint8_t> image = MakeSimImage(ArriaVGZConfigBits(kKind5AGZME7) / 8, 0x0BE7C0DE);
  return image;
}

// PROGRAM, the data in Shift-DR with TCK low / TDI / TCK high per bit, the trailing ones, and
// STARTUP; `position` of `count` devices.
void ProgramAtPinLevel(benchmark::State& state) {
  const auto count = static_cast<size_t>(state.range(0));
  const auto position = static_cast<size_t>(state.range(1));
  const std::vector<uint8_t>& image = FullImage();
  std::vector<TSimDeviceDescription> devices(count, ArriaVGZDescription(0));
  devices[position] = ArriaVGZDescription(kKind5AGZME7);
  TSimChain chain(devices);
  chain.ResetTap();

  for (auto _ : state) {
    chain.LoadInstruction(kOpProgram, position);
    chain.GoToState(TTapState::ShiftDR);
    chain.SetTms(false);
    chain.SetTdi(true);
    for (int i = 0; i < 175; ++i) {
      chain.SetTck(false);
      chain.SetTck(true);
    }
    for (const uint8_t byte : image) {
      for (int b = 0; b < 8; ++b) {
        chain.SetTck(false);
        chain.SetTdi((byte >> b) & 1u);
        chain.SetTck(true);
      }
    }
    chain.SetTdi(true);
    for (int i = 0; i < 128; ++i) {
      chain.SetTck(false);
      chain.SetTck(true);
    }
    chain.SetTck(false);
    chain.Clock(true);
    chain.GoToState(TTapState::RunTestIdle);
    chain.LoadInstruction(kOpStartup, position);
    chain.Idle(400);
    if (!chain.Device(position).Configured()) state.SkipWithError("the device did not configure");
  }
  const double bits = static_cast<double>(image.size()) * 8;
  state.counters["bits"] = bits;
  state.counters["Mbit/s"] = benchmark::Counter(bits / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(ProgramAtPinLevel)->Args({1, 0})->Args({3, 2})->Iterations(1)->Unit(benchmark::kSecond);

// The same image the way the module's download drives a host channel's lines: every edge a
// level change followed by a flush (SetTck 0, SetTdi, Flush, SetTck 1, Flush per bit).
void DownloadThroughChannelLines(benchmark::State& state) {
  const std::vector<uint8_t>& image = FullImage();
  TSimChain chain({ArriaVGZDescription(kKind5AGZME7)});
  TSimChannel channel(chain);
  for (auto _ : state) {
    channel.PrepareChain();
    channel.LoadInstruction(kOpProgram, 0);
    channel.SetTdi(true);
    channel.Flush();
    channel.MoveTapState(TTapState::RunTestIdle, TTapState::ShiftDR);
    for (int i = 0; i < 175; ++i) {
      channel.SetTck(false), channel.Flush(), channel.SetTck(true), channel.Flush();
    }
    channel.SetTdi(false), channel.SetTms(false), channel.SetTck(false), channel.Flush();
    for (const uint8_t byte : image) {
      for (int b = 0; b < 8; ++b) {
        channel.SetTck(false), channel.SetTdi((byte >> b) & 1u), channel.Flush();
        channel.SetTck(true), channel.Flush();
      }
    }
    for (int i = 0; i < 128; ++i) {
      channel.SetTck(false), channel.SetTdi(true), channel.Flush(), channel.SetTck(true), channel.Flush();
    }
    channel.SetTck(false), channel.Flush();
    channel.ClockTms(true);
    channel.MoveTapState(TTapState::Exit1DR, TTapState::RunTestIdle);
    channel.LoadInstruction(kOpStartup, 0);
    for (int i = 0; i < 400; ++i) channel.ClockTms(false);
    if (!chain.Device(0).Configured()) state.SkipWithError("the device did not configure");
  }
  const double bits = static_cast<double>(image.size()) * 8;
  state.counters["bits"] = bits;
  state.counters["Mbit/s"] = benchmark::Counter(bits / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(DownloadThroughChannelLines)->Iterations(1)->Unit(benchmark::kSecond);

// The module's download as it really runs: the host channel's IJTagLines, one interface call
// per level change and per flush, as the host's port hands it out.
void DownloadThroughHostLines(benchmark::State& state) {
  using namespace tavix;
  const std::vector<uint8_t>& image = FullImage();
  ComPtr<sim::JTagPort> port = sim::MakeSimJTagPort({ArriaVGZDescription(kKind5AGZME7)});
  const IJTagChannel channel(port->Channel().AsDispatch());
  ComPtr<IJTagLines> lines = channel.GetLines();
  IJTagLines* l = lines.Get();
  for (auto _ : state) {
    channel.PrepareChain();
    channel.LoadInstruction(static_cast<int32_t>(kOpProgram), 0);
    l->SetTdi(1), l->Flush();
    channel.MoveTapState(2, 5);
    for (int i = 0; i < 175; ++i) l->SetTck(0), l->Flush(), l->SetTck(1), l->Flush();
    l->SetTdi(0), l->SetTms(0), l->SetTck(0), l->Flush();
    for (const uint8_t byte : image) {
      for (int b = 0; b < 8; ++b) {
        l->SetTck(0), l->SetTdi((byte >> b) & 1), l->Flush();
        l->SetTck(1), l->Flush();
      }
    }
    for (int i = 0; i < 128; ++i) l->SetTck(0), l->SetTdi(1), l->Flush(), l->SetTck(1), l->Flush();
    l->SetTck(0), l->Flush();
    channel.ClockTms(1);
    channel.MoveTapState(6, 2);
    channel.LoadInstruction(static_cast<int32_t>(kOpStartup), 0);
    for (int i = 0; i < 400; ++i) channel.ClockTms(0);
    if (!port->Chain().Device(0).Configured()) state.SkipWithError("the device did not configure");
  }
  const double bits = static_cast<double>(image.size()) * 8;
  state.counters["bits"] = bits;
  state.counters["Mbit/s"] = benchmark::Counter(bits / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(DownloadThroughHostLines)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();

// Calls per second of the descriptive DISPIDs through IDispatch::Invoke, as a host makes them:
// a prepared DISPPARAMS, a result variant cleared after every call (freeing a text result).
#include <benchmark/benchmark.h>

#include <memory>

#include "plugin/Device_Arria5GZ_Driver.h"

namespace {

using namespace tavix;

void InvokeLoop(benchmark::State& state, IDispatch* object, DISPID id, VARIANT* args, uint32_t argCount) {
  DISPPARAMS params{args, nullptr, argCount, 0};
  VARIANT result;
  VariantInit(&result);
  for (auto _ : state) {
    const HRESULT hr = object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, &result,
                                      nullptr, nullptr);
    benchmark::DoNotOptimize(hr);
    VariantClear(&result);
  }
  state.SetItemsProcessed(state.iterations());
}

void DriverCall(benchmark::State& state, DISPID id, int32_t kind) {
  const std::unique_ptr<TDevice_Arria5GZDriver> driver(CreateArria5GZDriver(kind));
  InvokeLoop(state, driver->AsDispatch(), id, nullptr, 0);
}

void PinCall(benchmark::State& state, DISPID id) {
  const std::unique_ptr<TDevice_Arria5GZDriver> driver(CreateArria5GZDriver(0));
  InvokeLoop(state, driver->GetDevicePin(390).Dispatch(), id, nullptr, 0);
}

void StandardCall(benchmark::State& state, DISPID id, int32_t argument) {
  VARIANT arg;
  VariantInit(&arg);
  arg.vt = VT_I4;
  arg.lVal = argument;
  InvokeLoop(state, DeviceIOStandard(sLVCMOS18)->AsDispatch(), id, &arg, 1);
}

void GetDevicePinCall(benchmark::State& state) {
  const std::unique_ptr<TDevice_Arria5GZDriver> driver(CreateArria5GZDriver(20));
  driver->GetDevicePin(0);  // the pins exist; this measures the hand-out
  VARIANT arg;
  VariantInit(&arg);
  arg.vt = VT_I4;
  arg.lVal = 1000;
  InvokeLoop(state, driver->AsDispatch(), 503411, &arg, 1);
}

// Integer results.
BENCHMARK_CAPTURE(DriverCall, GetIdCode, 503379, 0);
BENCHMARK_CAPTURE(DriverCall, GetDevicePinCount, 503409, 0);
BENCHMARK_CAPTURE(DriverCall, GetConfigMemorySize, 503418, 31);
BENCHMARK_CAPTURE(DriverCall, GetIOStandardCount, 503421, 0);
// Boolean result.
BENCHMARK_CAPTURE(DriverCall, GetTerminationSupport, 503416, 0);
// Text results (a BSTR made and freed per call).
BENCHMARK_CAPTURE(DriverCall, GetDeviceName, 503380, 0);
BENCHMARK_CAPTURE(DriverCall, GetDeviceName_16chars, 503380, 1);
BENCHMARK_CAPTURE(DriverCall, GetPackageDescription_51chars, 503394, 0);
BENCHMARK_CAPTURE(DriverCall, GetDeviceDescription, 503381, 0);
BENCHMARK_CAPTURE(DriverCall, GetFamilyName, 503382, 0);
// Pins and standards.
BENCHMARK_CAPTURE(PinCall, GetPinNumber, 503525);
BENCHMARK_CAPTURE(PinCall, GetIsDiffP_Pin, 503536);
BENCHMARK_CAPTURE(PinCall, GetUniqueDifferentialID, 503547);
BENCHMARK_CAPTURE(StandardCall, GetDriveStrength, 503524, 6);
BENCHMARK(GetDevicePinCall);

}  // namespace

#include "simhost/jtag/SimHost.JTag.h"

#include <chrono>
#include <stdexcept>

#include "simhost/SimHost.h"
#include "simhost/jtag/SimDeviceCatalog.h"

namespace tavix::sim {

namespace {

// Turns the simulation's C++ failures into the answers an automation caller expects.
template <class F>
decltype(auto) Simulate(F&& body) {
  try {
    return body();
  } catch (const std::out_of_range& e) {
    throw EOleError(E_INVALIDARG, e.what());
  } catch (const std::invalid_argument& e) {
    throw EOleError(E_INVALIDARG, e.what());
  }
}

// Boundary-scan entity DISPIDs the host walks.
enum : DISPID {
  kEntityBoundaryLength = 503461,
  kEntityPin = 503462,
  kEntityBoundaryCell = 503464,
  kEntityPinCount = 503467,
  kEntityBoundaryCellCount = 503469,
  kEntityInstructionSample = 503479,
  kPinBoundaryCellCount = 503495,
  kPinBoundaryCell = 503496,
  kCellNumber = 503501,
  kCellFunction = 503504,
  kSetCurrentValue = 509024,
};
// Cell functions of the model: Input 1, Clock 2, Output2 3, Output3 4, ..., BiDir 8,
// ObserveOnly 9.
bool SensesPin(int32_t function) { return function == 1 || function == 2 || function == 8 || function == 9; }

}  // namespace

// ---- port family ---------------------------------------------------------------------------

int32_t JTagPortPart::AddRef() { return FPort.AddRef(); }
int32_t JTagPortPart::Release() { return FPort.Release(); }

JTagPort::JTagPort(const std::vector<jtagsim::TSimDeviceDescription>& devices)
    : FChain(devices), FEngine(FChain), FChannel(std::make_unique<JTagChannel>(*this)) {
  // Live pins follow the host's clock when there is a host.
  const auto start = std::chrono::steady_clock::now();
  FChain.SetClock([start] {
    if (SimHost* host = SimHost::Current()) return host->Now();
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
  });
  for (size_t p = 0; p < FChain.DeviceCount(); ++p) {
    FDevices.push_back(std::make_unique<JTagDevice>(*this, p));
    FTavixDevices.push_back(std::make_unique<ChainDevice>(*this, p));
  }
  FDrivers.resize(FChain.DeviceCount());
}

JTagPort::~JTagPort() = default;

void JTagPort::CheckPosition(size_t position) const {
  if (position >= FChain.DeviceCount())
    throw EOleError(E_INVALIDARG, "no device at chain position " + std::to_string(position));
}

JTagDevice& JTagPort::Device(size_t position) {
  CheckPosition(position);
  return *FDevices[position];
}

ChainDevice& JTagPort::TavixDevice(size_t position) {
  CheckPosition(position);
  return *FTavixDevices[position];
}

IDispatch* JTagPort::Driver(size_t position) const {
  CheckPosition(position);
  return FDrivers[position].Get();
}

void JTagPort::AttachDriver(size_t position, IDispatch* driver) {
  CheckPosition(position);
  FDrivers[position] = driver;
  if (driver) DispCall(driver, 503754, FTavixDevices[position]->AsDispatch());
}

void JTagPort::DetachDrivers() {
  for (ComPtr<IDispatch>& driver : FDrivers) {
    if (!driver) continue;
    const ComPtr<IDispatch> held = std::exchange(driver, nullptr);
    CallBack(held.Get(), 503754, static_cast<IDispatch*>(nullptr));
  }
}

bool JTagPort::DoInvoke(DISPID, const TDispArgs&, VARIANT*) {
  // The port is known by its identity; it answers no calls of its own.
  return false;
}

ComPtr<JTagPort> MakeSimJTagPort(const std::vector<jtagsim::TSimDeviceDescription>& devices) {
  return MakeHostObject<JTagPort>(devices);
}

ComPtr<JTagPort> AddSimulatedChain(SimHost& host, const std::vector<jtagsim::TSimDeviceDescription>& devices) {
  ComPtr<JTagPort> port = MakeSimJTagPort(devices);
  host.AddJTagPort(ComPtr<IDispatch>(port->AsDispatch()));
  return port;
}

void AttachArriaVGZDrivers(JTagPort& port, const std::function<IDispatch*(int32_t kind)>& driverOfKind) {
  for (size_t p = 0; p < port.DeviceCount(); ++p) {
    const std::optional<int> kind = jtagsim::FindArriaVGZKind(port.Chain().Device(p).Description().Name);
    if (!kind) continue;
    if (IDispatch* driver = driverOfKind(*kind)) port.AttachDriver(p, driver);
  }
}

// ---- channel ---------------------------------------------------------------------------------

JTagChannel::JTagChannel(JTagPort& port) : JTagPortPart(port), FLines(*this) {}

void* JTagChannel::FindInterface(const GUID& iid) {
  if (iid == IID_IJTagLines) return static_cast<IJTagLines*>(&FLines);
  return HostObject::FindInterface(iid);
}

size_t JTagChannel::Position(int32_t position) const {
  if (position < 0 || static_cast<size_t>(position) >= Port().DeviceCount())
    throw EOleError(E_INVALIDARG, "no device at chain position " + std::to_string(position));
  return static_cast<size_t>(position);
}

bool JTagChannel::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  jtagsim::TSimChannel& engine = Port().Engine();
  switch (id) {
    case 503425:  // BeginChannelAccess
      engine.BeginAccess();
      SetResultBool(result, true);
      return true;
    case 503426:  // EndChannelAccess
      engine.EndAccess();
      return true;
    case 503578:  // GetChainDeviceCount
      SetResultInt(result, static_cast<int32_t>(Port().DeviceCount()));
      return true;
    case 503579:  // GetJTagDevice(position)
      SetResultDispatch(result, Port().Device(Position(args.Int(0))).AsDispatch());
      return true;
    case 503581:  // PrepareChain
      engine.PrepareChain();
      return true;
    case 503601:  // LoadInstruction(code, position)
      engine.LoadInstruction(args.Low32(0), Position(args.Int(1)));
      return true;
    case 503607:  // GoToTapState(state)
      Simulate([&] { engine.GoToTapState(jtagsim::TapStateFromNumber(args.Int(0))); });
      return true;
    case 503605:  // MoveTapState(from, to)
      Simulate([&] {
        engine.MoveTapState(jtagsim::TapStateFromNumber(args.Int(0)), jtagsim::TapStateFromNumber(args.Int(1)));
      });
      return true;
    case 503608:  // ClockTms(level)
      engine.ClockTms(args.Int(0) != 0);
      return true;
    case 503599:  // ScanDataRegister(value, bitCount, position)
      SetResultUInt(result, Simulate([&] { return engine.ScanDataRegister(args.Low32(0), args.Int(1), Position(args.Int(2))); }));
      return true;
    case 503588:  // ShiftDataRegister(value, bitCount, position)
      Simulate([&] { engine.ExchangeDataRegister(args.Low32(0), args.Int(1), Position(args.Int(2))); });
      return true;
    case 503589:  // ExchangeDataRegister(value, bitCount, position)
      SetResultUInt(result, Simulate([&] { return engine.ExchangeDataRegister(args.Low32(0), args.Int(1), Position(args.Int(2))); }));
      return true;
    case 503591:  // ExchangeDataRegisterText(bits, position)
      SetResultString(result, Simulate([&] { return engine.ExchangeDataRegisterText(args.Str(0), Position(args.Int(1))); }));
      return true;
    case 503611:  // GetJtagPort
      SetResultDispatch(result, Port().AsDispatch());
      return true;
    default:
      return false;
  }
}

// ---- lines -----------------------------------------------------------------------------------

HRESULT JTagChannel::CableLines::QueryInterface(const GUID& iid, void** object) {
  return FOwner.QueryInterface(iid, object);
}

namespace {
template <class F>
HRESULT LineCall(F&& body) noexcept {
  return GuardedCall([&] {
    body();
    return S_OK;
  });
}
}  // namespace

HRESULT JTagChannel::CableLines::GetLineCount(int32_t* count) {
  if (!count) return E_POINTER;
  *count = 5;  // TCK, TMS, TDI, TDO, TRST
  return S_OK;
}
HRESULT JTagChannel::CableLines::Reset() {
  return LineCall([&] { FOwner.Port().Engine().GoToTapState(jtagsim::TTapState::TestLogicReset); });
}
HRESULT JTagChannel::CableLines::SetTck(int32_t level) {
  FOwner.Port().Engine().SetTck(level != 0);
  return S_OK;
}
HRESULT JTagChannel::CableLines::GetTck(int32_t* level) {
  if (!level) return E_POINTER;
  *level = FOwner.Port().Engine().PendingTck();
  return S_OK;
}
HRESULT JTagChannel::CableLines::SetTdi(int32_t level) {
  FOwner.Port().Engine().SetTdi(level != 0);
  return S_OK;
}
HRESULT JTagChannel::CableLines::SetTms(int32_t level) {
  FOwner.Port().Engine().SetTms(level != 0);
  return S_OK;
}
HRESULT JTagChannel::CableLines::SetTrst(int32_t level) {
  FOwner.Port().Engine().SetTrst(level != 0);
  return S_OK;
}
HRESULT JTagChannel::CableLines::GetTdo(uint8_t* bit) {
  if (!bit) return E_POINTER;
  *bit = FOwner.Port().Engine().Tdo() ? 1 : 0;
  return S_OK;
}
HRESULT JTagChannel::CableLines::GetTms(int32_t* level) {
  if (!level) return E_POINTER;
  *level = FOwner.Port().Engine().PendingTms();
  return S_OK;
}
HRESULT JTagChannel::CableLines::GetTdi(int32_t* level) {
  if (!level) return E_POINTER;
  *level = FOwner.Port().Engine().PendingTdi();
  return S_OK;
}
HRESULT JTagChannel::CableLines::Flush() {
  FOwner.Port().Engine().Flush();
  return S_OK;
}
HRESULT JTagChannel::CableLines::Capture() {
  FOwner.Port().Engine().Capture();
  return S_OK;
}

// ---- JTAG device -----------------------------------------------------------------------------

bool JTagDevice::ScanBoundary(IDispatch* entity) {
  if (!entity) throw EOleError(E_POINTER, "ScanBoundary needs an entity");
  jtagsim::TSimChannel& engine = Port().Engine();
  const jtagsim::TSimDevice& device = Port().Chain().Device(FPosition);

  uint32_t sample = DispCall(entity, kEntityInstructionSample).AsLow32();
  if (sample == 0xFFFFFFFFu) sample = device.OpCode("SAMPLE").value_or(0xFFFFFFFFu);
  if (sample == 0xFFFFFFFFu) return false;
  int32_t length = DispCall(entity, kEntityBoundaryLength).AsInt();
  if (length <= 0) length = device.Description().BoundaryLength;
  if (length <= 0) return false;

  // SAMPLE at this position, the others in BYPASS, one full boundary scan.
  engine.BeginAccess();
  std::vector<uint8_t> captured;
  try {
    engine.GoToTapState(jtagsim::TTapState::RunTestIdle);
    engine.LoadInstruction(sample, FPosition);
    captured = Port().Chain().ScanDeviceDR(FPosition, std::vector<uint8_t>(static_cast<size_t>(length), 0));
  } catch (...) {
    engine.EndAccess();
    throw;
  }
  engine.EndAccess();

  auto valueOf = [&](int32_t cell) -> int32_t {
    return cell >= 0 && static_cast<size_t>(cell) < captured.size() ? captured[static_cast<size_t>(cell)] : 0;
  };
  const int32_t cells = DispCall(entity, kEntityBoundaryCellCount).AsInt();
  for (int32_t i = 0; i < cells; ++i) {
    const ComPtr<IDispatch> cell = DispCall(entity, kEntityBoundaryCell, i).AsDispatch();
    if (!cell) continue;
    DispCall(cell.Get(), kSetCurrentValue, valueOf(DispCall(cell.Get(), kCellNumber).AsInt()));
  }
  // A pin reads what its sensing cell captured (its output cell when it has none).
  const int32_t pins = DispCall(entity, kEntityPinCount).AsInt();
  for (int32_t i = 0; i < pins; ++i) {
    const ComPtr<IDispatch> pin = DispCall(entity, kEntityPin, i).AsDispatch();
    if (!pin) continue;
    const int32_t count = DispCall(pin.Get(), kPinBoundaryCellCount).AsInt();
    int32_t chosen = -1;
    for (int32_t k = 0; k < count; ++k) {
      const ComPtr<IDispatch> cell = DispCall(pin.Get(), kPinBoundaryCell, k).AsDispatch();
      if (!cell) continue;
      const int32_t number = DispCall(cell.Get(), kCellNumber).AsInt();
      if (chosen < 0) chosen = number;
      if (SensesPin(DispCall(cell.Get(), kCellFunction).AsInt())) {
        chosen = number;
        break;
      }
    }
    if (chosen >= 0) DispCall(pin.Get(), kSetCurrentValue, valueOf(chosen));
  }
  return true;
}

bool JTagDevice::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  IDispatch* driver = Port().Driver(FPosition);
  const jtagsim::TSimDevice& device = Port().Chain().Device(FPosition);
  switch (id) {
    case 503550:  // GetEntity: the driver's boundary-scan description
      if (!FEntity && driver) FEntity = DispCall(driver, 503406).AsDispatch();
      SetResultDispatch(result, FEntity.Get());
      return true;
    case 503551:  // GetJTagDeviceInformation: the driver describes the device
      SetResultDispatch(result, driver);
      return true;
    case 503552:  // GetGenericKey: the IDCODE without its version
      SetResultUInt(result, device.Description().IdCode & 0x0FFFFFFFu);
      return true;
    case 503556:  // GetGenericSubKey: the IDCODE's version
      SetResultInt(result, static_cast<int32_t>(device.Description().IdCode >> 28));
      return true;
    case 503558:  // GetJTagDeviceName
      SetResultString(result, driver ? DispCall(driver, 503380).AsString() : device.Description().Name);
      return true;
    case 503566:  // ScanBoundary(entity)
      SetResultBool(result, ScanBoundary(args.Object(0).Get()));
      return true;
    case 503572:  // RefreshEntity
      FEntity.Reset();
      return true;
    default:
      return false;
  }
}

// ---- chain device ----------------------------------------------------------------------------

IDispatch* ChainDevice::RequireDriver() const {
  IDispatch* driver = Port().Driver(FPosition);
  if (!driver) throw EOleError(E_FAIL, "no driver serves chain position " + std::to_string(FPosition));
  return driver;
}

bool ChainDevice::DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) {
  switch (id) {
    case 503380:  // device information, answered by the driver
    case 503381:
    case 503382:
    case 503384:
    case 503407:
    case 503412: {
      IDispatch* driver = Port().Driver(FPosition);
      if (driver)
        SetResultVariant(result, DispCall(driver, id));
      else
        SetResultString(result, id == 503380 ? Port().Chain().Device(FPosition).Description().Name : "");
      return true;
    }
    case 503629:  // GetChainPosition
      SetResultInt(result, static_cast<int32_t>(FPosition));
      return true;
    case 503630:  // GetJTagChannel
      SetResultDispatch(result, Port().Channel().AsDispatch());
      return true;
    case 503635:  // GetTavixDriver
      SetResultDispatch(result, Port().Driver(FPosition));
      return true;
    case 503636:  // ResetHardDevice -> the driver's ResetDevice
      SetResultBool(result, DispCall(RequireDriver(), 503786).AsBool());
      return true;
    case 503637:  // GetHardDeviceState -> GetDeviceState
      SetResultInt(result, DispCall(RequireDriver(), 503787).AsInt());
      return true;
    case 503638:  // ProgramHardDevice(file) -> ProgramDevice
      SetResultInt(result, DispCall(RequireDriver(), 503788, args.Str(0)).AsInt());
      return true;
    case 503661:  // GetProcessorRegister: the simulated devices have no processor
      SetResultDispatch(result, nullptr);
      return true;
    case 503666: {  // ReadDebugRegister(register, bitCount)
      const int32_t bits = args.Int(1);
      const uint32_t mask = bits >= 32 ? 0xFFFFFFFFu : bits <= 0 ? 0u : (1u << bits) - 1u;
      const auto it = FDebugRegisters.find(args.Int(0));
      SetResultUInt(result, (it == FDebugRegisters.end() ? 0u : it->second) & mask);
      return true;
    }
    case 503667: {  // WriteDebugRegister(register, bitCount, value)
      const int32_t bits = args.Int(1);
      const uint32_t mask = bits >= 32 ? 0xFFFFFFFFu : bits <= 0 ? 0u : (1u << bits) - 1u;
      FDebugRegisters[args.Int(0)] = args.Low32(2) & mask;
      return true;
    }
    case 503675:  // BeginRegisterAccess
      ++FRegisterAccess;
      return true;
    case 503676:  // EndRegisterAccess
      if (FRegisterAccess > 0) --FRegisterAccess;
      return true;
    default:
      return false;
  }
}

}  // namespace tavix::sim

// The stand-in host's JTAG objects over a simulated chain: the port (what "GetJTagPort" of
// TavixManager.dll hands out), its channel with the pin-level lines, a JTAG device per chain
// position, and the chain devices ("ITavixDevice") that carry the driver serving each position.
//
//   auto port = sim::MakeSimJTagPort({jtagsim::ArriaVGZDescription(0)});
//   host.AddJTagPort(ComPtr<IDispatch>(port.Get()));
//   port->AttachDriver(0, module.Driver(0));   // the driver learns its chain device (503754)
//   ...
//   port->DetachDrivers();                     // before the host goes away
//
// All objects of one port share the port's lifetime: the channel, JTAG devices and chain
// devices count their references on the port, so a driver holding its chain device keeps the
// whole chain alive and nothing refers back in a cycle. The chain is driven on the host's
// thread; a remote_bitbang server serving the same chain holds it with its LockChain.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "jtag/Tavix.JTagInterfaces.h"
#include "simhost/SimHost.Object.h"
#include "simhost/jtag/SimChain.h"
#include "simhost/jtag/SimChannel.h"

namespace tavix::sim {

class JTagPort;

// An object of a port's family: references are counted on the port.
class JTagPortPart : public HostObject {
 public:
  explicit JTagPortPart(JTagPort& port) : FPort(port) {}
  ~JTagPortPart() override = default;
  int32_t TAVIX_STDCALL AddRef() override;
  int32_t TAVIX_STDCALL Release() override;
  JTagPort& Port() const { return FPort; }

 private:
  JTagPort& FPort;
};

// IJTagChannel by DISPID, and IJTagLines.
class JTagChannel : public JTagPortPart {
 public:
  explicit JTagChannel(JTagPort& port);
  IJTagLines* Lines() { return &FLines; }

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;
  void* FindInterface(const GUID& iid) override;

 private:
  // The cable's lines: levels apply on Flush, Capture samples TDO for GetTdo.
  class CableLines : public IJTagLines {
   public:
    explicit CableLines(JTagChannel& owner) : FOwner(owner) {}
    HRESULT TAVIX_STDCALL QueryInterface(const GUID& iid, void** object) override;
    int32_t TAVIX_STDCALL AddRef() override { return FOwner.AddRef(); }
    int32_t TAVIX_STDCALL Release() override { return FOwner.Release(); }
    HRESULT TAVIX_STDCALL GetLineCount(int32_t* count) override;
    HRESULT TAVIX_STDCALL Reset() override;
    HRESULT TAVIX_STDCALL SetTck(int32_t level) override;
    HRESULT TAVIX_STDCALL GetTck(int32_t* level) override;
    HRESULT TAVIX_STDCALL SetTdi(int32_t level) override;
    HRESULT TAVIX_STDCALL SetTms(int32_t level) override;
    HRESULT TAVIX_STDCALL SetTrst(int32_t level) override;
    HRESULT TAVIX_STDCALL GetTdo(uint8_t* bit) override;
    HRESULT TAVIX_STDCALL GetTms(int32_t* level) override;
    HRESULT TAVIX_STDCALL GetTdi(int32_t* level) override;
    HRESULT TAVIX_STDCALL Flush() override;
    HRESULT TAVIX_STDCALL Capture() override;

   private:
    JTagChannel& FOwner;
  };

  size_t Position(int32_t position) const;
  CableLines FLines;
};

// IJTagDevice by DISPID for one chain position.
class JTagDevice : public JTagPortPart {
 public:
  JTagDevice(JTagPort& port, size_t position) : JTagPortPart(port), FPosition(position) {}
  size_t Position() const { return FPosition; }
  // Samples the boundary register through the channel and writes each cell's and scan pin's
  // value into the entity (DISPID 509024).
  bool ScanBoundary(IDispatch* entity);

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  size_t FPosition;
  ComPtr<IDispatch> FEntity;  // fetched from the driver; dropped by RefreshEntity
};

// ITavixDevice by DISPID for one chain position: the slot a driver serves.
class ChainDevice : public JTagPortPart {
 public:
  ChainDevice(JTagPort& port, size_t position) : JTagPortPart(port), FPosition(position) {}
  size_t Position() const { return FPosition; }

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  IDispatch* RequireDriver() const;
  size_t FPosition;
  std::map<int32_t, uint32_t> FDebugRegisters;
  int FRegisterAccess = 0;
};

// The port: owns the chain, its channel and the per-position objects.
class JTagPort : public HostObject {
 public:
  explicit JTagPort(const std::vector<jtagsim::TSimDeviceDescription>& devices);
  ~JTagPort() override;

  jtagsim::TSimChain& Chain() { return FChain; }
  jtagsim::TSimChannel& Engine() { return FEngine; }
  JTagChannel& Channel() { return *FChannel; }
  size_t DeviceCount() const { return FChain.DeviceCount(); }
  // Raise E_INVALIDARG for a position outside the chain.
  JTagDevice& Device(size_t position);
  ChainDevice& TavixDevice(size_t position);

  // The driver serving a position: stored, and told its chain device (DISPID 503754).
  void AttachDriver(size_t position, IDispatch* driver);
  // Tells every driver its chain device is gone and forgets the drivers.
  void DetachDrivers();
  IDispatch* Driver(size_t position) const;

 protected:
  bool DoInvoke(DISPID id, const TDispArgs& args, VARIANT* result) override;

 private:
  void CheckPosition(size_t position) const;

  jtagsim::TSimChain FChain;
  jtagsim::TSimChannel FEngine;
  std::unique_ptr<JTagChannel> FChannel;
  std::vector<std::unique_ptr<JTagDevice>> FDevices;
  std::vector<std::unique_ptr<ChainDevice>> FTavixDevices;
  std::vector<ComPtr<IDispatch>> FDrivers;
};

ComPtr<JTagPort> MakeSimJTagPort(const std::vector<jtagsim::TSimDeviceDescription>& devices);

class SimHost;
// A port over the devices, added to the host's JTAG ports (what "GetJTagPort" answers).
ComPtr<JTagPort> AddSimulatedChain(SimHost& host, const std::vector<jtagsim::TSimDeviceDescription>& devices);

// Attaches to every position whose device is an Arria V GZ kind the driver `driverOfKind`
// gives for that kind (the module's kinds follow the same catalog order); positions holding
// other devices, or for which it answers null, stay without a driver.
void AttachArriaVGZDrivers(JTagPort& port, const std::function<IDispatch*(int32_t kind)>& driverOfKind);

}  // namespace tavix::sim

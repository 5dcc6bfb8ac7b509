// The built driver module, loaded with the dynamic loader inside the stand-in host exactly as a
// host loads it, checked through its exported ABI alone: the two exports, then IUnknown and
// IDispatch calls by DISPID on the drivers they hand out.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "simhost/SimHost.h"

namespace tavix::sim {
namespace {

constexpr GUID kISupportService = {0x1DEBA58E, 0x0DF5, 0x4081, {0x93, 0xE9, 0x0C, 0x17, 0x32, 0xE7, 0xDF, 0xAE}};
constexpr GUID kIDeviceMemoryAccess = {0xDE05D751, 0x32F9, 0x4557, {0xA7, 0xB6, 0x67, 0x8A, 0x82, 0x80, 0xE2, 0x74}};
constexpr GUID kIJTagLines = {0xF07D3E29, 0x9EE8, 0x4972, {0x8D, 0xE0, 0xCC, 0xC7, 0x40, 0xE0, 0x39, 0x59}};
constexpr GUID kOther = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};

// One Invoke with arguments in caller order; the result stays in `result`.
HRESULT Invoke(IDispatch* object, DISPID id, std::vector<VARIANT> args, VARIANT* result) {
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<uint32_t>(reversed.size()), 0};
  return object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result, nullptr, nullptr);
}

// The same with owned arguments (the caller's variants are not changed).
HRESULT Invoke(IDispatch* object, DISPID id, std::initializer_list<Variant> args, Variant& result) {
  std::vector<VARIANT> raw;
  for (const Variant& a : args) raw.push_back(a.Raw());
  return Invoke(object, id, raw, result.Out());
}

class DriverModuleE2E : public ::testing::Test {
 protected:
  DriverModuleE2E()
      : Host(SimHostOptions{.Clock = ClockMode::Manual}),
        Module(Host.LoadDriverModule(Host.ProgramFolder() + "Device_Arria5GZ.TVX")) {}

  IDispatch* NewDriver(int32_t kind) {
    IDispatch* driver = nullptr;
    EXPECT_EQ(Module.CallGetDriver(kind, &driver), S_OK);
    EXPECT_NE(driver, nullptr);
    return driver;
  }

  // Describes what a call answered, for comparing drivers.
  std::string Answer(IDispatch* driver, DISPID id, std::initializer_list<Variant> args = {}) {
    Variant result;
    const HRESULT hr = Invoke(driver, id, args, result);
    return Failed(hr) ? HResultText(hr) : result.Describe();
  }

  SimHost Host;
  DriverModule& Module;
};

TEST_F(DriverModuleE2E, CountIs32) {
  int32_t count = -1;
  EXPECT_EQ(Module.CallGetDriverCount(&count), S_OK);
  EXPECT_EQ(count, 32);
  EXPECT_EQ(Module.Count(), 32);
}

TEST_F(DriverModuleE2E, KindsOutsideTheRangeGiveNoDriverAndSucceed) {
  for (const int32_t kind : {-1, 32}) {
    IDispatch* driver = reinterpret_cast<IDispatch*>(0x1);
    EXPECT_EQ(Module.CallGetDriver(kind, &driver), S_OK) << kind;
    EXPECT_EQ(driver, nullptr) << kind;
  }
}

TEST_F(DriverModuleE2E, FirstAndLastKindGiveWorkingDrivers) {
  for (const int32_t kind : {0, 31}) {
    IDispatch* driver = NewDriver(kind);
    Variant name;
    ASSERT_EQ(Invoke(driver, 503380, {}, name), S_OK) << kind;
    EXPECT_EQ(name.Type(), VT_BSTR) << kind;
    EXPECT_FALSE(name.AsString().empty()) << kind;
  }
}

TEST_F(DriverModuleE2E, EachCallGivesADistinctDriverAnsweringAlike) {
  IDispatch* first = NewDriver(5);
  IDispatch* second = NewDriver(5);
  EXPECT_NE(first, second);
  for (const DISPID id : {503379, 503380, 503381, 503382, 503392, 503396, 503399, 503409, 503421, 503787})
    EXPECT_EQ(Answer(first, id), Answer(second, id)) << id;
}

TEST_F(DriverModuleE2E, IdentityAnswersItsFourInterfacesAndIsNotCounted) {
  IDispatch* driver = NewDriver(0);
  for (const GUID& iid : {IID_IUnknown, IID_IDispatch, kISupportService, kIDeviceMemoryAccess}) {
    void* object = nullptr;
    EXPECT_EQ(driver->QueryInterface(iid, &object), S_OK);
    EXPECT_NE(object, nullptr);
  }
  for (const GUID& iid : {kIJTagLines, kOther}) {
    void* object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(driver->QueryInterface(iid, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
  }
  // IUnknown and ISupportService share one entry.
  void* unknown = nullptr;
  void* support = nullptr;
  driver->QueryInterface(IID_IUnknown, &unknown);
  driver->QueryInterface(kISupportService, &support);
  EXPECT_EQ(unknown, support);

  EXPECT_EQ(driver->AddRef(), -1);
  EXPECT_EQ(driver->Release(), -1);
  for (int i = 0; i < 100; ++i) driver->Release();
  EXPECT_EQ(Answer(driver, 1023, {Variant::FromString("TavixDriver")}), "VT_BOOL True");
}

TEST_F(DriverModuleE2E, SupportsServiceNamesTheDriversServices) {
  IDispatch* driver = NewDriver(3);
  const std::vector<std::pair<std::string, VARIANT_BOOL>> cases = {
      {"TavixDriver", VARIANT_TRUE}, {"tavixdriver", VARIANT_TRUE}, {"DeviceInformation", VARIANT_TRUE},
      {"DevicePin", VARIANT_FALSE},  {"", VARIANT_FALSE},
  };
  for (const auto& [name, expected] : cases) {
    Variant result;
    ASSERT_EQ(Invoke(driver, 1023, {Variant::FromString(name)}, result), S_OK) << name;
    ASSERT_EQ(result.Type(), VT_BOOL) << name;
    EXPECT_EQ(result.Raw().boolVal, expected) << name;
  }
}

TEST_F(DriverModuleE2E, NoNamesAndNoForeignDispids) {
  IDispatch* driver = NewDriver(0);
  OLECHAR name[] = u"GetDeviceName";
  OLECHAR* names[] = {name};
  DISPID id = 0;
  EXPECT_EQ(driver->GetIDsOfNames(IID_NULL, names, 1, 0, &id), E_NOTIMPL);
  Variant result;
  EXPECT_EQ(Invoke(driver, 503425, {}, result), E_NOTIMPL);
  EXPECT_TRUE(result.IsEmpty());
}

TEST_F(DriverModuleE2E, ResultTypesAreThoseOfTheContract) {
  IDispatch* driver = NewDriver(0);
  Variant state, length, nothing;
  ASSERT_EQ(Invoke(driver, 503787, {}, state), S_OK);
  EXPECT_EQ(state.Type(), VT_I4);
  ASSERT_EQ(Invoke(driver, 508554, {Variant::FromInt(0)}, length), S_OK);
  EXPECT_EQ(length.Type(), VT_I8);
  ASSERT_EQ(Invoke(driver, 503759, {}, nothing), S_OK);
  EXPECT_TRUE(nothing.IsEmpty());
}

TEST_F(DriverModuleE2E, ShortArgumentListIsABadParameterCount) {
  IDispatch* driver = NewDriver(0);
  for (const DISPID id : {1023, 503411, 503815}) {
    Variant result;
    EXPECT_EQ(Invoke(driver, id, {}, result), DISP_E_BADPARAMCOUNT) << id;
  }
}

TEST_F(DriverModuleE2E, CustomActionStateWritesFalseThroughTheFirstAndThirdReference) {
  IDispatch* driver = NewDriver(0);
  VARIANT_BOOL flags[3] = {VARIANT_TRUE, VARIANT_TRUE, VARIANT_TRUE};
  int32_t extra[2] = {7, 8};
  std::vector<VARIANT> args(6);
  for (VARIANT& v : args) VariantInit(&v);
  args[0].vt = VT_I4;
  args[0].lVal = 0;
  for (int i = 0; i < 3; ++i) {
    args[1 + i].vt = VT_BOOL | VT_BYREF;
    args[1 + i].pboolVal = &flags[i];
  }
  for (int i = 0; i < 2; ++i) {
    args[4 + i].vt = VT_I4 | VT_BYREF;
    args[4 + i].plVal = &extra[i];
  }
  Variant result;
  ASSERT_EQ(Invoke(driver, 503815, args, result.Out()), S_OK);
  EXPECT_EQ(flags[0], VARIANT_FALSE);
  EXPECT_EQ(flags[2], VARIANT_FALSE);
  // The second reference is the operation's to set, but always as a proper VARIANT_BOOL.
  EXPECT_TRUE(flags[1] == VARIANT_TRUE || flags[1] == VARIANT_FALSE);
  EXPECT_EQ(extra[0], 7);
  EXPECT_EQ(extra[1], 8);
  EXPECT_TRUE(result.IsEmpty());
}

}  // namespace
}  // namespace tavix::sim

// The driver's automation contract as a host sees it: DISPIDs, argument conversions and result
// types, on a driver built directly.
#include <gtest/gtest.h>

#include <memory>

#include "../support/Invoke.h"
#include "plugin/Device_Arria5GZ_Driver.h"

namespace tavix {
namespace {

using testing::InvokeRaw;

class DriverDispatch : public ::testing::Test {
 protected:
  std::unique_ptr<TDevice_Arria5GZDriver> Driver{CreateArria5GZDriver(0)};
  IDispatch* Disp() { return Driver->AsDispatch(); }
};

TEST_F(DriverDispatch, ResultTypesFollowTheContract) {
  struct Case {
    DISPID Id;
    VARTYPE Type;
  } cases[] = {
      {503379, VT_I4},   {503380, VT_BSTR}, {503408, VT_I4},   {503416, VT_BOOL}, {503756, VT_I4},
      {503787, VT_I4},   {503789, VT_I4},   {503776, VT_I4},   {508554, VT_I8},   {503792, VT_BSTR},
      {503753, VT_DISPATCH}, {503790, VT_DISPATCH},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Id);
    const auto r = InvokeRaw(Disp(), c.Id, c.Id == 503776 ? std::vector<Variant>{Variant::FromInt(0)}
                                           : c.Id == 508554 ? std::vector<Variant>{Variant::FromInt(0)}
                                                             : std::vector<Variant>{});
    EXPECT_EQ(r.Code, S_OK);
    EXPECT_EQ(r.Value.Type(), c.Type);
  }
}

TEST_F(DriverDispatch, UnhandledDispidsAndNames) {
  EXPECT_EQ(InvokeRaw(Disp(), 503425).Code, E_NOTIMPL);
  EXPECT_EQ(InvokeRaw(Disp(), 0).Code, E_NOTIMPL);
  DISPID id = 0;
  OLECHAR name[] = u"GetDeviceName";
  OLECHAR* names[] = {name};
  EXPECT_EQ(Disp()->GetIDsOfNames(IID_NULL, names, 1, 0, &id), E_NOTIMPL);
  uint32_t count = 0;
  EXPECT_EQ(Disp()->GetTypeInfoCount(&count), E_NOTIMPL);
}

TEST_F(DriverDispatch, ActionWithoutResultLeavesVarResultAlone) {
  const auto r = InvokeRaw(Disp(), 503759);
  EXPECT_EQ(r.Code, S_OK);
  EXPECT_EQ(r.Value.Type(), VT_EMPTY);
}

TEST_F(DriverDispatch, SupportsServiceByName) {
  const struct {
    const char* Name;
    bool Expected;
  } cases[] = {{"TavixDriver", true}, {"tavixdriver", true}, {"DeviceInformation", true},
               {"DevicePin", false},  {"", false},           {"ProcessFlow", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const auto r = InvokeRaw(Disp(), 1023, {Variant::FromString(c.Name)});
    ASSERT_EQ(r.Code, S_OK);
    EXPECT_EQ(r.Value.Type(), VT_BOOL);
    EXPECT_EQ(r.Value.Raw().boolVal, c.Expected ? VARIANT_TRUE : VARIANT_FALSE);
  }
}

TEST_F(DriverDispatch, ArgumentCountsAndTypesAreChecked) {
  // Short lists never read outside rgvarg.
  EXPECT_EQ(InvokeRaw(Disp(), 503411).Code, DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(InvokeRaw(Disp(), 503766, {Variant::FromInt(1)}).Code, DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(InvokeRaw(Disp(), 1023).Code, DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(InvokeRaw(Disp(), 503815, {Variant::FromInt(0)}).Code, DISP_E_BADPARAMCOUNT);
  // Mistyped arguments.
  EXPECT_EQ(InvokeRaw(Disp(), 503411, {Variant::FromString("pin")}).Code, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(InvokeRaw(Disp(), 503754, {Variant::FromInt(5)}).Code, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(InvokeRaw(Disp(), 503767, {Variant::FromDouble(1e12)}).Code, DISP_E_OVERFLOW);
  // A numeric string converts like the number.
  EXPECT_EQ(InvokeRaw(Disp(), 503767, {Variant::FromString("3")}).Code, S_OK);
}

TEST_F(DriverDispatch, CustomActionStateWritesBackThreeBooleans) {
  VARIANT_BOOL flags[3] = {VARIANT_TRUE, VARIANT_TRUE, VARIANT_TRUE};
  int32_t other1 = 5, other2 = 6;
  std::vector<Variant> args(6);
  args[0] = Variant::FromInt(0);
  for (int i = 0; i < 3; ++i) {
    VARIANT* v = args[1 + i].Out();
    v->vt = VT_BOOL | VT_BYREF;
    v->pboolVal = &flags[i];
  }
  for (int i = 0; i < 2; ++i) {
    VARIANT* v = args[4 + i].Out();
    v->vt = VT_I4 | VT_BYREF;
    v->plVal = i ? &other2 : &other1;
  }
  const auto r = InvokeRaw(Disp(), 503815, std::move(args));
  ASSERT_EQ(r.Code, S_OK);
  EXPECT_EQ(flags[0], VARIANT_FALSE);
  EXPECT_EQ(flags[1], VARIANT_TRUE);  // left as the caller gave it, normalised
  EXPECT_EQ(flags[2], VARIANT_FALSE);
  EXPECT_EQ(other1, 5);
  EXPECT_EQ(other2, 6);
  // The Booleans must be by-reference Booleans.
  std::vector<Variant> wrong(6, Variant::FromBool(true));
  EXPECT_EQ(InvokeRaw(Disp(), 503815, std::move(wrong)).Code, DISP_E_TYPEMISMATCH);
}

TEST(DriverIdentity, InterfacesAndNoReferenceCount) {
  std::unique_ptr<TDevice_Arria5GZDriver> driver(CreateArria5GZDriver(31));
  IDispatch* disp = driver->AsDispatch();
  const struct {
    GUID Iid;
    HRESULT Code;
  } cases[] = {{IID_IUnknown, S_OK},
               {IID_IDispatch, S_OK},
               {IID_ISupportService, S_OK},
               {IID_IDeviceMemoryAccess, S_OK},
               {{0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}}, E_NOINTERFACE}};
  for (const auto& c : cases) {
    void* object = nullptr;
    EXPECT_EQ(disp->QueryInterface(c.Iid, &object), c.Code);
    EXPECT_EQ(object != nullptr, c.Code == S_OK);
  }
  void* unknown = nullptr;
  void* support = nullptr;
  disp->QueryInterface(IID_IUnknown, &unknown);
  disp->QueryInterface(IID_ISupportService, &support);
  EXPECT_EQ(unknown, support);  // one shared entry
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(disp->AddRef(), -1);
    EXPECT_EQ(disp->Release(), -1);
  }
  EXPECT_EQ(testing::InvokeRaw(disp, 503380).Value.AsString(), driver->GetDeviceName());
  void* memory = nullptr;
  disp->QueryInterface(IID_IDeviceMemoryAccess, &memory);
  EXPECT_EQ(static_cast<IDeviceMemoryAccess*>(memory)->MemoryRead(1, 2, 3, 4, 5), 0);
}

TEST(DriverFactory, KindsOutsideTheCatalogGiveNoDriver) {
  for (int32_t kind : {-1, 32, 1000}) EXPECT_EQ(CreateArria5GZDriver(kind), nullptr);
  std::unique_ptr<TDevice_Arria5GZDriver> a(CreateArria5GZDriver(0)), b(CreateArria5GZDriver(0));
  EXPECT_NE(a.get(), b.get());
  EXPECT_EQ(a->GetDeviceName(), b->GetDeviceName());
  EXPECT_EQ(a->CoreGen_OutputExtension(), ".VHD");
  EXPECT_EQ(a->GetDownloadFileExtensions(), "RBF");
  // Without a chain device nothing is sent and the actions answer their defaults.
  EXPECT_EQ(a->GetDeviceState(), 1);
  EXPECT_FALSE(a->ResetDevice());
  EXPECT_EQ(a->ReadUserCode(), 0xFFFFFFFFu);
  EXPECT_EQ(a->ProgramDevice("any.rbf"), 0);
}

}  // namespace
}  // namespace tavix

#include <gtest/gtest.h>

#include "../support/RecordingDispatch.h"
#include "platform/automation/Dispatch.h"

namespace tavix {
namespace {

using testing::TRecordingDispatch;

TEST(DispCall, ArgumentsArriveReversedWithTheirTypes) {
  TRecordingDispatch target;
  std::vector<VARTYPE> types;
  target.Handlers[42] = [&](const std::vector<Variant>& args) {
    for (const Variant& a : args) types.push_back(a.Type());
    return Variant::FromInt(7);
  };
  const Variant result = DispCall(&target, 42, int32_t{1}, std::string("two"), true, 4.0, int64_t{5});
  EXPECT_EQ(result.AsInt(), 7);
  ASSERT_EQ(target.Calls.size(), 1u);
  EXPECT_EQ(target.Calls[0].Text(), "42(1,two,True,4,5)");
  EXPECT_EQ(types, (std::vector<VARTYPE>{VT_I4, VT_BSTR, VT_BOOL, VT_R8, VT_I8}));
}

TEST(DispCall, ByReferenceTextIsWrittenBack) {
  // A callee that replaces the by-reference text, as a host does.
  struct Replacer : TRecordingDispatch {
    HRESULT TAVIX_STDCALL Invoke(DISPID, const GUID&, LCID, uint16_t, DISPPARAMS* p, VARIANT*, EXCEPINFO*,
                                 uint32_t*) override {
      VARIANT& ref = p->rgvarg[0];
      if (ref.vt != (VT_BSTR | VT_BYREF)) return DISP_E_TYPEMISMATCH;
      SysFreeString(*ref.pbstrVal);
      *ref.pbstrVal = AllocBstr("Index=3");
      return S_OK;
    }
  } target;
  std::string parameters = "Index=1";
  DispCall(&target, 625, ByRefString{&parameters});
  EXPECT_EQ(parameters, "Index=3");
}

TEST(DispCall, FailureCodesRaise) {
  TRecordingDispatch target;
  target.Failures[9] = E_NOTIMPL;
  try {
    DispCall(&target, 9);
    ADD_FAILURE();
  } catch (const EOleError& e) {
    EXPECT_EQ(e.Code(), E_NOTIMPL);
  }
  try {
    DispCall(nullptr, 9);
    ADD_FAILURE();
  } catch (const EOleError& e) {
    EXPECT_EQ(e.Code(), E_POINTER);
  }
}

TEST(DispArgs, ReadsByCallerPositionAndNeverPastTheArray) {
  VARIANT argv[2];
  VariantInit(&argv[0]);
  VariantInit(&argv[1]);
  argv[1].vt = VT_I4;  // first argument
  argv[1].lVal = 11;
  argv[0].vt = VT_I4;  // second argument
  argv[0].lVal = 22;
  DISPPARAMS params{argv, nullptr, 2, 0};
  const TDispArgs args(&params);
  EXPECT_EQ(args.Int(0), 11);
  EXPECT_EQ(args.Int(1), 22);
  try {
    args.Int(2);
    ADD_FAILURE();
  } catch (const EOleError& e) {
    EXPECT_EQ(e.Code(), DISP_E_BADPARAMCOUNT);
  }
  const TDispArgs none(nullptr);
  EXPECT_THROW(none.Str(0), EOleError);
  DISPPARAMS lying{nullptr, nullptr, 3, 0};  // a count without an array reads nothing
  EXPECT_EQ(TDispArgs(&lying).Count(), 0u);
}

TEST(GuardedCall, MapsExceptionsToCodes) {
  EXPECT_EQ(GuardedCall([] { return S_OK; }), S_OK);
  EXPECT_EQ(GuardedCall([]() -> HRESULT { throw EOleError(DISP_E_OVERFLOW); }), DISP_E_OVERFLOW);
  EXPECT_EQ(GuardedCall([]() -> HRESULT { throw std::runtime_error("x"); }), E_UNEXPECTED);
  // Inside an operation every failure is the catastrophic code.
  EXPECT_EQ(GuardedCall([]() -> HRESULT { return RunOperation([]() -> HRESULT { throw EOleError(E_FAIL); }); }),
            E_UNEXPECTED);
}

}  // namespace
}  // namespace tavix

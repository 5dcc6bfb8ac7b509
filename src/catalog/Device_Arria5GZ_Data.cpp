#include "catalog/Device_Arria5GZ_Data.h"

#include <stdexcept>

#include "catalog/EDP.SCH.Util.h"

namespace tavix {

// ---- the shared I/O-standard objects ---------------------------------------------------------

namespace {

// The unit's start-up creates the 56 objects in ID order; its shut-down frees them. Until the
// constructor has run (and once the destructor has) the table holds nulls, so a look-up made
// outside the module's lifetime answers an empty reference rather than a dangling one.
class TDeviceIOStandards {
 public:
  TDeviceIOStandards() {
    for (int id = 0; id < kDeviceIOStandardCount; ++id)
      FObjects[id] = new TDeviceIOStandardData(static_cast<TDeviceIOStandardID>(id));
  }
  ~TDeviceIOStandards() {
    for (TDeviceIOStandardData*& object : FObjects) {
      delete object;
      object = nullptr;
    }
  }
  TDeviceIOStandards(const TDeviceIOStandards&) = delete;
  TDeviceIOStandards& operator=(const TDeviceIOStandards&) = delete;

  TDeviceIOStandardData* Get(int32_t id) const {
    return id >= 0 && id < kDeviceIOStandardCount ? FObjects[id] : nullptr;
  }

 private:
  TDeviceIOStandardData* FObjects[kDeviceIOStandardCount] = {};
};

TDeviceIOStandards gDeviceIOStandards;

const TPinParameters kEmptyPin = {"", "", "", "", 0, 0};

// The name of the index-th set bit of `bits` (bit order), or "" when there is none.
template <size_t N>
std::string NthName(uint64_t bits, int32_t index, const char* const (&names)[N]) {
  const int32_t bit = NthSetBit(bits, index);
  return bit >= 0 && static_cast<size_t>(bit) < N ? names[bit] : "";
}

}  // namespace

TDeviceIOStandardData* DeviceIOStandard(int32_t id) { return gDeviceIOStandards.Get(id); }

IDeviceIOStandard DeviceIOStandardOfSet(TDeviceIOStandardSet standards, int32_t index) {
  TDeviceIOStandardData* object = DeviceIOStandard(NthStandard(standards, index));
  return object ? IDeviceIOStandard(object->AsDispatch()) : IDeviceIOStandard();
}

int32_t TDeviceIOStandardData::GetSlewCount() { return std::popcount(Row().SlewRates); }

std::string TDeviceIOStandardData::GetSlewValue(int32_t index) { return NthName(Row().SlewRates, index, kSlewRateNames); }

int32_t TDeviceIOStandardData::GetDriveCount() { return std::popcount(Row().DriveStrengths); }

std::string TDeviceIOStandardData::GetDriveStrength(int32_t index) {
  return NthName(Row().DriveStrengths, index, kDriveStrengthNames);
}

// ---- pins ------------------------------------------------------------------------------------

const TPinSetParameters& PinSetParameters(TDevicePinSet pinSet) {
  if (pinSet >= kPinSetCount) throw std::out_of_range("no such pin set");
  return kPinSetParameters[pinSet];
}

const char* PinFunction(TDevicePinSet pinSet, int32_t index) {
  const TPinSetParameters& set = PinSetParameters(pinSet);
  return index >= 0 && index < set.PinCount ? kPinFunctions[pinSet][index] : "";
}

TDevicePinData::TDevicePinData(TDevicePinSet pinSet, int32_t index) : FPinSet(pinSet), FIndex(index) {
  if (pinSet >= kPinSetCount) throw std::out_of_range("no such pin set");
}

const TPinParameters& TDevicePinData::Row() const {
  const TPinSetParameters& set = kPinSetParameters[FPinSet];
  return FIndex >= 0 && FIndex < set.PinCount ? set.Pins[FIndex] : kEmptyPin;
}

const char* TDevicePinData::Function() const { return PinFunction(FPinSet, FIndex); }

IDeviceIOStandard TDevicePinData::GetIOStandard(int32_t index) { return DeviceIOStandardOfSet(Row().Standards, index); }

// ---- the device kind -------------------------------------------------------------------------

TDeviceData::TDeviceData(int32_t kind) : TTavixDriver(".EDN"), FKind(static_cast<TDeviceKind>(kind)) {
  if (kind < 0 || kind >= kDeviceKindCount) throw std::out_of_range("no such device kind");
  BSDLDataList.reserve(kBsdlDescriptionCount);
  for (const char* name : kBsdlFileNames) BSDLDataList.emplace_back(name, nullptr);
}

TDeviceData::~TDeviceData() {
  // The generic clean-up first: the rack viewer may still show these pins.
  try {
    ReleaseResources();
  } catch (...) {
  }
}

IBSDLEntity TDeviceData::GetBSDLEntity() {
  const std::string name = GetBSDLFilename();
  for (auto& [fileName, entity] : BSDLDataList) {
    if (!SameText(fileName, name)) continue;
    if (!entity) entity = BuildEntity(FindDescription(fileName), BSDLLookupLists);
    return entity ? IBSDLEntity(entity->AsDispatch()) : IBSDLEntity();
  }
  return {};
}

std::string TDeviceData::GetVendorName() { return GetFamilyVendor(kFamilyName); }

std::string TDeviceData::GetDeviceDescription() {
  std::string text = GetVendorName();
  const std::string family = GetFamilyName();
  const std::string name = GetDeviceName();
  text.reserve(text.size() + family.size() + name.size() + 2);  // one allocation for the whole text
  text += ' ';
  text += family;
  text += ' ';
  text += name;
  return text;
}

IDevicePin TDeviceData::GetDevicePin(int32_t index) {
  if (Pins.empty()) {
    const int32_t count = GetDevicePinCount();
    Pins.reserve(count > 0 ? static_cast<size_t>(count) : 0);
    for (int32_t i = 0; i < count; ++i) Pins.push_back(std::make_unique<TDevicePinData>(Row().PinSet, i));
  }
  // An index outside the pins answers an empty reference.
  if (index < 0 || static_cast<size_t>(index) >= Pins.size()) return {};
  return IDevicePin(Pins[index]->AsDispatch());
}

IDeviceIOStandard TDeviceData::GetIOStandard(int32_t index) {
  return DeviceIOStandardOfSet(PinSetRow().Standards, index);
}

}  // namespace tavix

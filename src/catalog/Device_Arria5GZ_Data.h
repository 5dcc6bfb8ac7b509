// The Arria V GZ catalog: table-driven answers for one device kind, its pins and the family's
// shared I/O-standard objects. The tables are in Device_Arria5GZ_Data.Tables.h.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "catalog/Device_Arria5GZ_Bsdl.h"
#include "catalog/Device_Arria5GZ_Data.Tables.h"
#include "plugin/Tavix.Classes.h"

namespace tavix {

// One pin of a pin set: an immutable view of its table row. Owned by the driver that created
// it; not reference counted.
class TDevicePinData : public TTavixAbstractDevicePin {
 public:
  TDevicePinData(TDevicePinSet pinSet, int32_t index);

  std::string GetPinNumber() override { return Row().PinNumber; }
  std::string GetIOBank() override { return Row().Bank; }
  bool GetIsIOPin() override { return Has(ePinOption_IO); }
  bool GetIsCLKPin() override { return Has(ePinOption_CLK); }
  bool GetIsVREFPin() override { return Has(ePinOption_VREF); }
  bool GetIsSpecialPin() override { return Has(ePinOption_Special); }
  int32_t GetIOStandardCount() override { return StandardCount(Row().Standards); }
  IDeviceIOStandard GetIOStandard(int32_t index) override;
  bool GetIsInputOnlyPin() override { return Has(ePinOption_InputOnly); }
  bool GetIsDCIP_Pin() override { return Has(ePinOption_DCIP); }
  bool GetIsDCIN_Pin() override { return Has(ePinOption_DCIN); }
  bool GetIsDiffP_Pin() override { return Has(ePinOption_DiffP); }
  bool GetIsDiffN_Pin() override { return Has(ePinOption_DiffN); }
  bool GetIsHDiffP_Pin() override { return Has(ePinOption_HDiffP); }
  bool GetIsHDiffN_Pin() override { return Has(ePinOption_HDiffN); }
  bool GetIsTransmitDiffPin() override { return Has(ePinOption_TransmitDiff); }
  bool GetIsReceiveDiffPin() override { return Has(ePinOption_ReceiveDiff); }
  bool GetIsClkDiffP_Pin() override { return Has(ePinOption_ClkDiffP); }
  bool GetIsClkDiffN_Pin() override { return Has(ePinOption_ClkDiffN); }
  bool GetIsDLLPin() override { return Has(ePinOption_DLL); }
  std::string GetDifferentialId() override { return Row().DiffId; }
  std::string GetClkDifferentialId() override { return Row().ClkDiffId; }

  TDevicePinSet PinSet() const { return FPinSet; }
  int32_t Index() const { return FIndex; }
  // The pin's table row; an empty row for an index beyond the set's pins.
  const TPinParameters& Row() const;
  // The pin's function as the pin list names it ("IO", "GND", "TCK", ...).
  const char* Function() const;

 private:
  bool Has(TPinOption option) const { return (Row().Options & PinOptionBit(option)) != 0; }

  TDevicePinSet FPinSet;
  int32_t FIndex;
};

// One of the family's I/O standards. The 56 objects are created when the module loads and
// freed when it unloads; drivers and pins hand out these same objects. Hosts get references
// that do not own them: AddRef and Release answer -1 and never free the object.
class TDeviceIOStandardData : public TTavixAbstractDeviceIOStandard {
 public:
  explicit TDeviceIOStandardData(TDeviceIOStandardID id) : FID(id) {}

  int32_t TAVIX_STDCALL AddRef() override { return -1; }
  int32_t TAVIX_STDCALL Release() override { return -1; }

  std::string GetDisplayName() override { return Row().DisplayName; }
  std::string GetParamName() override { return Row().ParamName; }
  int32_t GetSlewCount() override;
  std::string GetSlewValue(int32_t index) override;
  int32_t GetDriveCount() override;
  std::string GetDriveStrength(int32_t index) override;
  uint8_t GetStandardIndex() override { return 0; }

  TDeviceIOStandardID ID() const { return FID; }
  const TDeviceIOStandardParameters& Row() const { return kDeviceIOStandardTable[FID]; }

 private:
  TDeviceIOStandardID FID;
};

// The shared object of an I/O standard; null outside the module's lifetime (before its
// start-up, after its shut-down) and for an ID out of range.
TDeviceIOStandardData* DeviceIOStandard(int32_t id);
// The shared object of the index-th member of a standard set in ascending ID order; an empty
// reference when the index is negative or not below the set's size.
IDeviceIOStandard DeviceIOStandardOfSet(TDeviceIOStandardSet standards, int32_t index);

// Pin-set rows, bounds-checked: the set of a pin set, the row and function of one of its pins.
const TPinSetParameters& PinSetParameters(TDevicePinSet pinSet);
const char* PinFunction(TDevicePinSet pinSet, int32_t index);

// The family's name, and its key in the device-family registry.
inline constexpr const char* kFamilyName = "Arria5GZ";

// The catalog's answers for one device kind.
class TDeviceData : public TTavixDriver {
 public:
  explicit TDeviceData(int32_t kind);
  ~TDeviceData() override;

  int32_t Kind() const { return FKind; }
  // The kind's row of the device table.
  const TDeviceParameters& Row() const { return kDeviceTable[FKind]; }

  uint32_t GetIdCode() override { return Row().IdCode; }
  std::string GetDeviceName() override { return Row().FullName; }
  std::string GetDeviceDescription() override;
  std::string GetFamilyName() override { return kFamilyName; }
  std::string GetFamilyDescription() override { return "Arria V GZ FPGA"; }
  std::string GetLibraryName() override { return "Altera Arria V GZ.IntLib"; }
  std::string GetBaseName() override { return kBaseNameTable[Row().BaseName].Name; }
  int32_t GetEquivalentGatesForBase() override { return kBaseNameTable[Row().BaseName].EquivalentGates; }
  int32_t GetMaxIOForBase() override { return kBaseNameTable[Row().BaseName].MaxIO; }
  std::string GetPackageTypeId() override { return kPackageTypeIds[Row().PackageType]; }
  std::string GetPackageTypeName() override { return kPackageTypeNames[Row().PackageType]; }
  std::string GetPackageTypeDescription() override { return kPackageTypeDescriptions[Row().PackageType]; }
  std::string GetPackageId() override { return kPackageIds[Row().Package]; }
  std::string GetPackageName() override { return kPackageNames[Row().Package]; }
  std::string GetPackageDescription() override { return kPackageDescriptions[Row().Package]; }
  std::string GetPackageDimensions() override { return kPackageDimensions[Row().Package]; }
  std::string GetTemperatureGradeId() override { return kTemperatureGradeIds[Row().TemperatureGrade]; }
  std::string GetTemperatureGradeName() override { return kTemperatureGradeNames[Row().TemperatureGrade]; }
  std::string GetTemperatureGradeDescription() override {
    return kTemperatureGradeDescriptions[Row().TemperatureGrade];
  }
  std::string GetSpeedGradeId() override { return kSpeedGradeIds[Row().SpeedGrade]; }
  std::string GetSpeedGradeName() override { return kSpeedGradeNames[Row().SpeedGrade]; }
  std::string GetSpeedGradeDescription() override { return kSpeedGradeDescriptions[Row().SpeedGrade]; }
  std::string GetOptionDesignatorId() override { return kOptionDesignatorIds[Row().OptionDesignator]; }
  std::string GetOptionDesignatorName() override { return kOptionDesignatorNames[Row().OptionDesignator]; }
  std::string GetOptionDesignatorDescription() override {
    return kOptionDesignatorDescriptions[Row().OptionDesignator];
  }
  std::string GetBSDLFilename() override { return Row().BSDL; }
  // The boundary-scan entity of the kind's BSDL file: built from the built-in tables on the
  // first request and kept for the driver's life (never shared with another driver).
  IBSDLEntity GetBSDLEntity() override;
  // The vendor an installed extension declares for the family; empty when none does.
  std::string GetVendorName() override;
  int32_t GetInstructionLength() override { return Row().InstructionLength; }
  int32_t GetDevicePinCount() override { return PinSetRow().PinCount; }
  int32_t GetDeviceIOCount() override { return PinSetRow().IOCount; }
  IDevicePin GetDevicePin(int32_t index) override;
  int32_t GetDSPMultiplierCount() override { return Resources().DSPMultiplierCount; }
  int32_t GetClockManagerCount() override { return Resources().ClockManagerCount; }
  int32_t GetMemorySize() override { return Resources().MemorySize; }
  bool GetTerminationSupport() override { return Resources().TerminationSupport; }
  int32_t GetGlobalClockCount() override { return Resources().GlobalClockCount; }
  int32_t GetConfigMemorySize() override { return Resources().ConfigMemorySize; }
  int32_t GetDiffPairCount() override { return PinSetRow().DiffCount; }
  int32_t GetHighSpeedDiffPairCount() override { return PinSetRow().HSpeedDiffCount; }
  int32_t GetIOStandardCount() override { return StandardCount(PinSetRow().Standards); }
  IDeviceIOStandard GetIOStandard(int32_t index) override;

  bool SupportsCPLD() override { return false; }
  bool SupportsFPGA() override { return true; }
  bool SupportsPROM() override { return false; }

 protected:
  const TPinSetParameters& PinSetRow() const { return kPinSetParameters[Row().PinSet]; }
  const TDevicePackageResources& Resources() const { return kDevicePackageResources[Row().DevicePackage]; }

  TDeviceKind FKind;
  // Pin objects, all created by the first GetDevicePin; empty until then.
  std::vector<std::unique_ptr<TDevicePinData>> Pins;
  // The look-up lists (ScanPins, BoundaryCells, PinMappings, OpCodes, RegisterAssociations)
  // the entity is built with; they keep their contents afterwards.
  TBsdlLookupLists BSDLLookupLists;
  // The entity cache: the 16 BSDL file names, each with the entity built for it or none yet.
  // Declared after the look-up lists so that the entities go first.
  std::vector<std::pair<std::string, TBSDLEntityPtr>> BSDLDataList;
};

}  // namespace tavix

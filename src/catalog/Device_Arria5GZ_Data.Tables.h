// The constant tables of the Arria V GZ catalog: enumerations, records and tables of the 32 device
// kinds, their base names, package resources, pin sets and I/O standards.
//
// Kept free of the automation classes so that the build-time table generator (tools/) compiles
// against the same enumerations and names as the module. The pin tables themselves
// (kPinSetParameters, kPinFunctions) are generated from data/pinouts at build time.
#pragma once

#include <bit>
#include <cstdint>

namespace tavix {

// ---- enumerations ----------------------------------------------------------------------------

enum TDeviceKind : int32_t {
  e5AGZME1E2H29C3N, e5AGZME1E2H29I3LN, e5AGZME1E3H29C4N, e5AGZME1E3H29I4N,
  e5AGZME1H2F35C3N, e5AGZME1H2F35I3LN, e5AGZME1H3F35C4N, e5AGZME1H3F35I4N,
  e5AGZME3E2H29C3N, e5AGZME3E2H29I3LN, e5AGZME3E3H29C4N, e5AGZME3E3H29I4N,
  e5AGZME3H2F35C3N, e5AGZME3H2F35I3LN, e5AGZME3H3F35C4N, e5AGZME3H3F35I4N,
  e5AGZME5H2F35C3N, e5AGZME5H2F35I3LN, e5AGZME5H3F35C4N, e5AGZME5H3F35I4N,
  e5AGZME5K2F40C3N, e5AGZME5K2F40I3LN, e5AGZME5K3F40C4N, e5AGZME5K3F40I4N,
  e5AGZME7H2F35C3N, e5AGZME7H2F35I3LN, e5AGZME7H3F35C4N, e5AGZME7H3F35I4N,
  e5AGZME7K2F40C3N, e5AGZME7K2F40I3LN, e5AGZME7K3F40C4N, e5AGZME7K3F40I4N,
};
constexpr int32_t kDeviceKindCount = 32;

enum TBaseNameId : uint8_t {
  e5AGZME1E2, e5AGZME1E3, e5AGZME1H2, e5AGZME1H3, e5AGZME3E2, e5AGZME3E3, e5AGZME3H2, e5AGZME3H3,
  e5AGZME5H2, e5AGZME5H3, e5AGZME5K2, e5AGZME5K3, e5AGZME7H2, e5AGZME7H3, e5AGZME7K2, e5AGZME7K3,
};
constexpr int kBaseNameCount = 16;

enum TPackage : uint8_t { ePackage_F35, ePackage_F40, ePackage_H29 };
enum TPackageType : uint8_t { ePackageType_F, ePackageType_H };
enum TTemperatureGrade : uint8_t { eTemperatureGrade_C, eTemperatureGrade_I };
enum TSpeedGrade : uint8_t { eSpeedGrade_3, eSpeedGrade_4 };
enum TOptionDesignator : uint8_t { eOptionDesignator_LN, eOptionDesignator_N, eOptionDesignator_None };

enum TDevicePinSet : uint8_t {
  ePinSet_5AGZME1E2H29, ePinSet_5AGZME1E3H29, ePinSet_5AGZME1H2F35, ePinSet_5AGZME1H3F35,
  ePinSet_5AGZME3E2H29, ePinSet_5AGZME3E3H29, ePinSet_5AGZME3H2F35, ePinSet_5AGZME3H3F35,
  ePinSet_5AGZME5H2F35, ePinSet_5AGZME5H3F35, ePinSet_5AGZME5K2F40, ePinSet_5AGZME5K3F40,
  ePinSet_5AGZME7H2F35, ePinSet_5AGZME7H3F35, ePinSet_5AGZME7K2F40, ePinSet_5AGZME7K3F40,
};
constexpr int kPinSetCount = 16;

enum TDevicePackage : uint8_t {
  eDP_5AGZME1E2H29, eDP_5AGZME1E3H29, eDP_5AGZME1H2F35, eDP_5AGZME1H3F35,
  eDP_5AGZME3E2H29, eDP_5AGZME3E3H29, eDP_5AGZME3H2F35, eDP_5AGZME3H3F35,
  eDP_5AGZME5H2F35, eDP_5AGZME5H3F35, eDP_5AGZME5K2F40, eDP_5AGZME5K3F40,
  eDP_5AGZME7H2F35, eDP_5AGZME7H3F35, eDP_5AGZME7K2F40, eDP_5AGZME7K3F40,
};

enum TDeviceIOStandardID : uint8_t {
  sLVCMOS12, sLVCMOS15, sLVCMOS18, sLVCMOS25, sLVCMOS33,
  sLVTTL12, sLVTTL15, sLVTTL18, sLVTTL25, sLVTTL33,
  sDHSTL12I, sDHSTL12II, sDHSTLI, sDHSTLII, sDHSTL18I, sDHSTL18II,
  sDSSTL15I, sDSSTL15II, sDSSTL18I, sDSSTL18II, sDSSTL25I, sDSSTL25II,
  sHSTLI_12, sHSTLII_12, sHSTLI, sHSTLII, sHSTLI_18, sHSTLII_18,
  sSSTL15I, sSSTL15II, sSSTL18I, sSSTL18II, sSSTL2I, sSSTL2II,
  sDHSUL12, sDSSTL12, sDSSTL125, sDSSTL135, sDSSTL15, sHSUL12, sSSTL12, sSSTL125, sSSTL135, sSSTL15,
  sPCML12, sPCML14, sPCML15, sPCML25, sLVPECL, sLVDS_E_3R, sLVDS, sMiniLVDS25_E_3R, sMiniLVDS25,
  sRSDS25_E_3R, sRSDS25, sHCSL,
};
constexpr int kDeviceIOStandardCount = 56;

// A set of I/O standards: bit n stands for the standard of ID n.
using TDeviceIOStandardSet = uint64_t;

constexpr TDeviceIOStandardSet StandardBit(TDeviceIOStandardID id) { return TDeviceIOStandardSet{1} << id; }
constexpr TDeviceIOStandardSet kAllDeviceIOStandards = (TDeviceIOStandardSet{1} << kDeviceIOStandardCount) - 1;
// The transceiver reference-clock standards.
constexpr TDeviceIOStandardSet kRefClockStandards = StandardBit(sPCML12) | StandardBit(sPCML14) |
                                                    StandardBit(sPCML15) | StandardBit(sPCML25) |
                                                    StandardBit(sLVPECL) | StandardBit(sLVDS) | StandardBit(sHCSL);
// What a general-purpose I/O accepts: everything but the reference-clock-only standards.
constexpr TDeviceIOStandardSet kGeneralStandards =
    kAllDeviceIOStandards & ~(StandardBit(sPCML12) | StandardBit(sPCML14) | StandardBit(sPCML15) |
                              StandardBit(sPCML25) | StandardBit(sLVPECL) | StandardBit(sHCSL));

constexpr int32_t StandardCount(TDeviceIOStandardSet set) { return std::popcount(set); }

// The position of the index-th set bit counting from bit 0, or -1 when there is none.
constexpr int32_t NthSetBit(uint64_t bits, int32_t index) {
  if (index < 0) return -1;
  for (; bits; bits &= bits - 1)
    if (index-- == 0) return std::countr_zero(bits);
  return -1;
}
// The ID of the index-th member of a set in ascending ID order, or -1 when there is none.
constexpr int32_t NthStandard(TDeviceIOStandardSet set, int32_t index) { return NthSetBit(set, index); }

// Role flags of a pin, bit 0 first.
enum TPinOption : uint8_t {
  ePinOption_IO, ePinOption_VREF, ePinOption_CLK, ePinOption_Special, ePinOption_InputOnly,
  ePinOption_DCIP, ePinOption_DCIN, ePinOption_DiffP, ePinOption_DiffN, ePinOption_HDiffP,
  ePinOption_HDiffN, ePinOption_TransmitDiff, ePinOption_ReceiveDiff, ePinOption_ClkDiffP,
  ePinOption_ClkDiffN, ePinOption_DLL,
};
constexpr int kPinOptionCount = 16;
using TPinOptions = uint16_t;  // bit n stands for the flag of ordinal n

constexpr TPinOptions PinOptionBit(TPinOption option) { return static_cast<TPinOptions>(1u << option); }

// Slew rates and drive strengths, bit 0 first; a standard's sets are bit sets over these.
enum TSlewRate : uint8_t { eSlew_SLOW, eSlew_FAST, eSlew_VERY_SLOW };
constexpr int kSlewRateCount = 3;
enum TDriveStrength : uint8_t {
  eDrive_2mA, eDrive_3mA, eDrive_4mA, eDrive_6mA, eDrive_7mA, eDrive_8mA, eDrive_10mA, eDrive_12mA,
  eDrive_14mA, eDrive_16mA, eDrive_17mA, eDrive_18mA, eDrive_20mA, eDrive_24mA, eDrive_3_5mA, eDrive_5mA,
  eDrive_15mA, eDrive_21mA, eDrive_25mA, eDrive_33mA, eDrive_35mA,
};
constexpr int kDriveStrengthCount = 21;

// ---- records ---------------------------------------------------------------------------------

struct TDeviceParameters {
  TDeviceKind Kind;
  const char* FullName;
  uint32_t IdCode;
  TBaseNameId BaseName;
  TPackage Package;
  TPackageType PackageType;
  TTemperatureGrade TemperatureGrade;
  TSpeedGrade SpeedGrade;
  TOptionDesignator OptionDesignator;
  const char* BSDL;
  TDevicePinSet PinSet;
  int32_t InstructionLength;
  TDevicePackage DevicePackage;
};

struct TBaseNameIdParameters {
  const char* Name;
  int32_t EquivalentGates;
  int32_t MaxIO;
};

struct TDevicePackageResources {
  int32_t DSPMultiplierCount;
  int32_t ClockManagerCount;
  int32_t MemorySize;
  bool TerminationSupport;
  int32_t GlobalClockCount;
  int32_t ConfigMemorySize;
};

// One pin of a pin set, in the order of the vendor's pin list. Empty texts are "".
struct TPinParameters {
  const char* PinNumber;
  const char* Bank;
  const char* DiffId;
  const char* ClkDiffId;
  TPinOptions Options;
  TDeviceIOStandardSet Standards;
};

// `Pins` holds exactly `PinCount` rows (the pin arrays are sized to their lists rather than to
// the largest package).
struct TPinSetParameters {
  int32_t PinCount;
  int32_t IOCount;
  int32_t DiffCount;
  int32_t HSpeedDiffCount;
  TDeviceIOStandardSet Standards;
  const TPinParameters* Pins;
};

struct TDeviceIOStandardParameters {
  const char* DisplayName;
  const char* ParamName;
  bool Differential;
  uint8_t SlewRates;        // bits over kSlewRateNames
  uint32_t DriveStrengths;  // bits over kDriveStrengthNames
};

// ---- tables ----------------------------------------------------------------------------------

// The most pins any pin set has.
constexpr int32_t kMaxPinCount = 1517;

extern const TDeviceParameters kDeviceTable[kDeviceKindCount];
extern const TBaseNameIdParameters kBaseNameTable[kBaseNameCount];
extern const TDevicePackageResources kDevicePackageResources[kPinSetCount];

// Pin-set stems in TDevicePinSet order ("5AGZME1E2H29" ... "5AGZME7K3F40"); they name the pin
// lists in data/pinouts and the boundary-scan descriptions.
extern const char* const kPinSetStems[kPinSetCount];
// Boundary-scan description file names in TDevicePinSet order ("5AGZME1E2H29.bsd" ...).
extern const char* const kBSDLFileNames[kPinSetCount];

extern const char* const kPackageIds[3];
extern const char* const kPackageNames[3];
extern const char* const kPackageDescriptions[3];
extern const char* const kPackageDimensions[3];
extern const char* const kPackageTypeIds[2];
extern const char* const kPackageTypeNames[2];
extern const char* const kPackageTypeDescriptions[2];
extern const char* const kSpeedGradeIds[2];
extern const char* const kSpeedGradeNames[2];
extern const char* const kSpeedGradeDescriptions[2];
extern const char* const kTemperatureGradeIds[2];
extern const char* const kTemperatureGradeNames[2];
extern const char* const kTemperatureGradeDescriptions[2];
extern const char* const kOptionDesignatorIds[3];
extern const char* const kOptionDesignatorNames[3];
extern const char* const kOptionDesignatorDescriptions[3];

extern const TDeviceIOStandardParameters kDeviceIOStandardTable[kDeviceIOStandardCount];
extern const char* const kSlewRateNames[kSlewRateCount];
extern const char* const kDriveStrengthNames[kDriveStrengthCount];
// Names of the role flags in bit order ("IO", "VREF", ... "DLL"), as the pin lists spell them.
extern const char* const kPinOptionNames[kPinOptionCount];

// Generated from data/pinouts: the pins of every pin set, and each pin's function as the pin
// list names it ("IO", "GND", "VCCIO3A", "TCK", "GXB_TX", ...), parallel to `Pins`.
extern const TPinSetParameters kPinSetParameters[kPinSetCount];
extern const char* const* const kPinFunctions[kPinSetCount];

}  // namespace tavix

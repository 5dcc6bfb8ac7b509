// The hand-kept constant tables of the Arria V GZ catalog. The pin tables are generated from
// data/pinouts at build time.
#include "catalog/Device_Arria5GZ_Data.Tables.h"

namespace tavix {

const TDeviceParameters kDeviceTable[kDeviceKindCount] = {
    {e5AGZME1E2H29C3N, "5AGZME1E2H29C3N", 0x029310DD, e5AGZME1E2, ePackage_H29, ePackageType_H, eTemperatureGrade_C, eSpeedGrade_3, eOptionDesignator_N, "5AGZME1E2H29.bsd", ePinSet_5AGZME1E2H29, 10, eDP_5AGZME1E2H29},
    {e5AGZME1E2H29I3LN, "5AGZME1E2H29I3LN", 0x029310DD, e5AGZME1E2, ePackage_H29, ePackageType_H, eTemperatureGrade_I, eSpeedGrade_3, eOptionDesignator_LN, "5AGZME1E2H29.bsd", ePinSet_5AGZME1E2H29, 10, eDP_5AGZME1E2H29},
    {e5AGZME1E3H29C4N, "5AGZME1E3H29C4N", 0x029310DD, e5AGZME1E3, ePackage_H29, ePackageType_H, eTemperatureGrade_C, eSpeedGrade_4, eOptionDesignator_N, "5AGZME1E3H29.bsd", ePinSet_5AGZME1E3H29, 10, eDP_5AGZME1E3H29},
    {e5AGZME1E3H29I4N, "5AGZME1E3H29I4N", 0x029310DD, e5AGZME1E3, ePackage_H29, ePackageType_H, eTemperatureGrade_I, eSpeedGrade_4, eOptionDesignator_N, "5AGZME1E3H29.bsd", ePinSet_5AGZME1E3H29, 10, eDP_5AGZME1E3H29},
    {e5AGZME1H2F35C3N, "5AGZME1H2F35C3N", 0x029310DD, e5AGZME1H2, ePackage_F35, ePackageType_F, eTemperatureGrade_C, eSpeedGrade_3, eOptionDesignator_N, "5AGZME1H2F35.bsd", ePinSet_5AGZME1H2F35, 10, eDP_5AGZME1H2F35},
    {e5AGZME1H2F35I3LN, "5AGZME1H2F35I3LN", 0x029310DD, e5AGZME1H2, ePackage_F35, ePackageType_F, eTemperatureGrade_I, eSpeedGrade_3, eOptionDesignator_LN, "5AGZME1H2F35.bsd", ePinSet_5AGZME1H2F35, 10, eDP_5AGZME1H2F35},
    {e5AGZME1H3F35C4N, "5AGZME1H3F35C4N", 0x029310DD, e5AGZME1H3, ePackage_F35, ePackageType_F, eTemperatureGrade_C, eSpeedGrade_4, eOptionDesignator_N, "5AGZME1H3F35.bsd", ePinSet_5AGZME1H3F35, 10, eDP_5AGZME1H3F35},
    {e5AGZME1H3F35I4N, "5AGZME1H3F35I4N", 0x029310DD, e5AGZME1H3, ePackage_F35, ePackageType_F, eTemperatureGrade_I, eSpeedGrade_4, eOptionDesignator_N, "5AGZME1H3F35.bsd", ePinSet_5AGZME1H3F35, 10, eDP_5AGZME1H3F35},
    {e5AGZME3E2H29C3N, "5AGZME3E2H29C3N", 0x029710DD, e5AGZME3E2, ePackage_H29, ePackageType_H, eTemperatureGrade_C, eSpeedGrade_3, eOptionDesignator_N, "5AGZME3E2H29.bsd", ePinSet_5AGZME3E2H29, 10, eDP_5AGZME3E2H29},
    {e5AGZME3E2H29I3LN, "5AGZME3E2H29I3LN", 0x029710DD, e5AGZME3E2, ePackage_H29, ePackageType_H, eTemperatureGrade_I, eSpeedGrade_3, eOptionDesignator_LN, "5AGZME3E2H29.bsd", ePinSet_5AGZME3E2H29, 10, eDP_5AGZME3E2H29},
    {e5AGZME3E3H29C4N, "5AGZME3E3H29C4N", 0x029710DD, e5AGZME3E3, ePackage_H29, ePackageType_H, eTemperatureGrade_C, eSpeedGrade_4, eOptionDesignator_N, "5AGZME3E3H29.bsd", ePinSet_5AGZME3E3H29, 10, eDP_5AGZME3E3H29},
    {e5AGZME3E3H29I4N, "5AGZME3E3H29I4N", 0x029710DD, e5AGZME3E3, ePackage_H29, ePackageType_H, eTemperatureGrade_I, eSpeedGrade_4, eOptionDesignator_N, "5AGZME3E3H29.bsd", ePinSet_5AGZME3E3H29, 10, eDP_5AGZME3E3H29},
    {e5AGZME3H2F35C3N, "5AGZME3H2F35C3N", 0x029710DD, e5AGZME3H2, ePackage_F35, ePackageType_F, eTemperatureGrade_C, eSpeedGrade_3, eOptionDesignator_N, "5AGZME3H2F35.bsd", ePinSet_5AGZME3H2F35, 10, eDP_5AGZME3H2F35},
    {e5AGZME3H2F35I3LN, "5AGZME3H2F35I3LN", 0x029710DD, e5AGZME3H2, ePackage_F35, ePackageType_F, eTemperatureGrade_I, eSpeedGrade_3, eOptionDesignator_LN, "5AGZME3H2F35.bsd", ePinSet_5AGZME3H2F35, 10, eDP_5AGZME3H2F35},
    {e5AGZME3H3F35C4N, "5AGZME3H3F35C4N", 0x029710DD, e5AGZME3H3, ePackage_F35, ePackageType_F, eTemperatureGrade_C, eSpeedGrade_4, eOptionDesignator_N, "5AGZME3H3F35.bsd", ePinSet_5AGZME3H3F35, 10, eDP_5AGZME3H3F35},
    {e5AGZME3H3F35I4N, "5AGZME3H3F35I4N", 0x029710DD, e5AGZME3H3, ePackage_F35, ePackageType_F, eTemperatureGrade_I, eSpeedGrade_4, eOptionDesignator_N, "5AGZME3H3F35.bsd", ePinSet_5AGZME3H3F35, 10, eDP_5AGZME3H3F35},
    {e5AGZME5H2F35C3N, "5AGZME5H2F35C3N", 0x029770DD, e5AGZME5H2, ePackage_F35, ePackageType_F, eTemperatureGrade_C, eSpeedGrade_3, eOptionDesignator_N, "5AGZME5H2F35.bsd", ePinSet_5AGZME5H2F35, 10, eDP_5AGZME5H2F35},
    {e5AGZME5H2F35I3LN, "5AGZME5H2F35I3LN", 0x029770DD, e5AGZME5H2, ePackage_F35, ePackageType_F, eTemperatureGrade_I, eSpeedGrade_3, eOptionDesignator_LN, "5AGZME5H2F35.bsd", ePinSet_5AGZME5H2F35, 10, eDP_5AGZME5H2F35},
    {e5AGZME5H3F35C4N, "5AGZME5H3F35C4N", 0x029770DD, e5AGZME5H3, ePackage_F35, ePackageType_F, eTemperatureGrade_C, eSpeedGrade_4, eOptionDesignator_N, "5AGZME5H3F35.bsd", ePinSet_5AGZME5H3F35, 10, eDP_5AGZME5H3F35},
    {e5AGZME5H3F35I4N, "5AGZME5H3F35I4N", 0x029770DD, e5AGZME5H3, ePackage_F35, ePackageType_F, eTemperatureGrade_I, eSpeedGrade_4, eOptionDesignator_N, "5AGZME5H3F35.bsd", ePinSet_5AGZME5H3F35, 10, eDP_5AGZME5H3F35},
    {e5AGZME5K2F40C3N, "5AGZME5K2F40C3N", 0x029770DD, e5AGZME5K2, ePackage_F40, ePackageType_F, eTemperatureGrade_C, eSpeedGrade_3, eOptionDesignator_N, "5AGZME5K2F40.bsd", ePinSet_5AGZME5K2F40, 10, eDP_5AGZME5K2F40},
    {e5AGZME5K2F40I3LN, "5AGZME5K2F40I3LN", 0x029770DD, e5AGZME5K2, ePackage_F40, ePackageType_F, eTemperatureGrade_I, eSpeedGrade_3, eOptionDesignator_LN, "5AGZME5K2F40.bsd", ePinSet_5AGZME5K2F40, 10, eDP_5AGZME5K2F40},
    {e5AGZME5K3F40C4N, "5AGZME5K3F40C4N", 0x029770DD, e5AGZME5K3, ePackage_F40, ePackageType_F, eTemperatureGrade_C, eSpeedGrade_4, eOptionDesignator_N, "5AGZME5K3F40.bsd", ePinSet_5AGZME5K3F40, 10, eDP_5AGZME5K3F40},
    {e5AGZME5K3F40I4N, "5AGZME5K3F40I4N", 0x029770DD, e5AGZME5K3, ePackage_F40, ePackageType_F, eTemperatureGrade_I, eSpeedGrade_4, eOptionDesignator_N, "5AGZME5K3F40.bsd", ePinSet_5AGZME5K3F40, 10, eDP_5AGZME5K3F40},
    {e5AGZME7H2F35C3N, "5AGZME7H2F35C3N", 0x029F70DD, e5AGZME7H2, ePackage_F35, ePackageType_F, eTemperatureGrade_C, eSpeedGrade_3, eOptionDesignator_N, "5AGZME7H2F35.bsd", ePinSet_5AGZME7H2F35, 10, eDP_5AGZME7H2F35},
    {e5AGZME7H2F35I3LN, "5AGZME7H2F35I3LN", 0x029F70DD, e5AGZME7H2, ePackage_F35, ePackageType_F, eTemperatureGrade_I, eSpeedGrade_3, eOptionDesignator_LN, "5AGZME7H2F35.bsd", ePinSet_5AGZME7H2F35, 10, eDP_5AGZME7H2F35},
    {e5AGZME7H3F35C4N, "5AGZME7H3F35C4N", 0x029F70DD, e5AGZME7H3, ePackage_F35, ePackageType_F, eTemperatureGrade_C, eSpeedGrade_4, eOptionDesignator_N, "5AGZME7H3F35.bsd", ePinSet_5AGZME7H3F35, 10, eDP_5AGZME7H3F35},
    {e5AGZME7H3F35I4N, "5AGZME7H3F35I4N", 0x029F70DD, e5AGZME7H3, ePackage_F35, ePackageType_F, eTemperatureGrade_I, eSpeedGrade_4, eOptionDesignator_N, "5AGZME7H3F35.bsd", ePinSet_5AGZME7H3F35, 10, eDP_5AGZME7H3F35},
    {e5AGZME7K2F40C3N, "5AGZME7K2F40C3N", 0x029F70DD, e5AGZME7K2, ePackage_F40, ePackageType_F, eTemperatureGrade_C, eSpeedGrade_3, eOptionDesignator_N, "5AGZME7K2F40.bsd", ePinSet_5AGZME7K2F40, 10, eDP_5AGZME7K2F40},
    {e5AGZME7K2F40I3LN, "5AGZME7K2F40I3LN", 0x029F70DD, e5AGZME7K2, ePackage_F40, ePackageType_F, eTemperatureGrade_I, eSpeedGrade_3, eOptionDesignator_LN, "5AGZME7K2F40.bsd", ePinSet_5AGZME7K2F40, 10, eDP_5AGZME7K2F40},
    {e5AGZME7K3F40C4N, "5AGZME7K3F40C4N", 0x029F70DD, e5AGZME7K3, ePackage_F40, ePackageType_F, eTemperatureGrade_C, eSpeedGrade_4, eOptionDesignator_N, "5AGZME7K3F40.bsd", ePinSet_5AGZME7K3F40, 10, eDP_5AGZME7K3F40},
    {e5AGZME7K3F40I4N, "5AGZME7K3F40I4N", 0x029F70DD, e5AGZME7K3, ePackage_F40, ePackageType_F, eTemperatureGrade_I, eSpeedGrade_4, eOptionDesignator_N, "5AGZME7K3F40.bsd", ePinSet_5AGZME7K3F40, 10, eDP_5AGZME7K3F40},
};

const TBaseNameIdParameters kBaseNameTable[kBaseNameCount] = {
    {"5AGZME1E2", 220000, 414}, {"5AGZME1E3", 220000, 414}, {"5AGZME1H2", 220000, 414}, {"5AGZME1H3", 220000, 414},
    {"5AGZME3E2", 360000, 414}, {"5AGZME3E3", 360000, 414}, {"5AGZME3H2", 360000, 414}, {"5AGZME3H3", 360000, 414},
    {"5AGZME5H2", 400000, 674}, {"5AGZME5H3", 400000, 674}, {"5AGZME5K2", 400000, 674}, {"5AGZME5K3", 400000, 674},
    {"5AGZME7H2", 450000, 674}, {"5AGZME7H3", 450000, 674}, {"5AGZME7K2", 450000, 674}, {"5AGZME7K3", 450000, 674},
};

namespace {
constexpr TDevicePackageResources kME1 = {1600, 20, 11700, true, 16, 137598720};
constexpr TDevicePackageResources kME3 = {2088, 20, 19140, true, 16, 137598720};
constexpr TDevicePackageResources kME5 = {2184, 24, 28800, true, 16, 213798720};
constexpr TDevicePackageResources kME7 = {2278, 24, 34000, true, 16, 213798720};
}  // namespace

const TDevicePackageResources kDevicePackageResources[kPinSetCount] = {
    kME1, kME1, kME1, kME1, kME3, kME3, kME3, kME3, kME5, kME5, kME5, kME5, kME7, kME7, kME7, kME7,
};

const char* const kPinSetStems[kPinSetCount] = {
    "5AGZME1E2H29", "5AGZME1E3H29", "5AGZME1H2F35", "5AGZME1H3F35", "5AGZME3E2H29", "5AGZME3E3H29",
    "5AGZME3H2F35", "5AGZME3H3F35", "5AGZME5H2F35", "5AGZME5H3F35", "5AGZME5K2F40", "5AGZME5K3F40",
    "5AGZME7H2F35", "5AGZME7H3F35", "5AGZME7K2F40", "5AGZME7K3F40",
};

const char* const kBSDLFileNames[kPinSetCount] = {
    "5AGZME1E2H29.bsd", "5AGZME1E3H29.bsd", "5AGZME1H2F35.bsd", "5AGZME1H3F35.bsd",
    "5AGZME3E2H29.bsd", "5AGZME3E3H29.bsd", "5AGZME3H2F35.bsd", "5AGZME3H3F35.bsd",
    "5AGZME5H2F35.bsd", "5AGZME5H3F35.bsd", "5AGZME5K2F40.bsd", "5AGZME5K3F40.bsd",
    "5AGZME7H2F35.bsd", "5AGZME7H3F35.bsd", "5AGZME7K2F40.bsd", "5AGZME7K3F40.bsd",
};

// The package and grade texts, as the device documentation spells them.
const char* const kPackageIds[3] = {"F35", "F40", "H29"};
const char* const kPackageNames[3] = {"FBGA1152", "FBGA1517", "HBGA780"};
const char* const kPackageDescriptions[3] = {"1152-Ball FineLine Ball Grid Array (FBGA1152)",
                                             "1517-Ball FIneLine Ball Grid Array(FBGA1517)",
                                             "780-Ball Hybrid FinleLine Ball Grid Array(HBGA780)"};
const char* const kPackageDimensions[3] = {"35 x 35 mm", "40 x 40 mm", "29 x 29 mm"};
const char* const kPackageTypeIds[2] = {"F", "H"};
const char* const kPackageTypeNames[2] = {"FBGA", "HBGA"};
const char* const kPackageTypeDescriptions[2] = {"FineLine Ball Grid Array (F)", "Hybrid FineLine Ball Grid Array (H)"};
const char* const kSpeedGradeIds[2] = {"3", "4"};
const char* const kSpeedGradeNames[2] = {"3", "4"};
const char* const kSpeedGradeDescriptions[2] = {"Speed Grade 3 (Fastest)", "Speed Grade 4"};
const char* const kTemperatureGradeIds[2] = {"C", "I"};
const char* const kTemperatureGradeNames[2] = {"Commercial", "Industrial"};
const char* const kTemperatureGradeDescriptions[2] = {"Commercial Grade", "Industrial Grade"};
const char* const kOptionDesignatorIds[3] = {"LN", "N", "None"};
const char* const kOptionDesignatorNames[3] = {"LN", "N", "Standard"};
const char* const kOptionDesignatorDescriptions[3] = {"Low-voltage device and Pb-Free", "Pb-Free",
                                                      "Standard Configuration"};

const char* const kSlewRateNames[kSlewRateCount] = {"SLOW", "FAST", "VERY_SLOW"};
const char* const kDriveStrengthNames[kDriveStrengthCount] = {
    "2mA",  "3mA",  "4mA",  "6mA",  "7mA",   "8mA", "10mA", "12mA", "14mA", "16mA", "17mA",
    "18mA", "20mA", "24mA", "3.5mA", "5mA", "15mA", "21mA", "25mA", "33mA", "35mA",
};

const char* const kPinOptionNames[kPinOptionCount] = {
    "IO",     "VREF",   "CLK",          "Special",     "InputOnly", "DCIP",     "DCIN",     "DiffP",
    "DiffN",  "HDiffP", "HDiffN",       "TransmitDiff", "ReceiveDiff", "ClkDiffP", "ClkDiffN", "DLL",
};

namespace {
template <class... T>
constexpr uint8_t Slews(T... rates) {
  return static_cast<uint8_t>(((1u << rates) | ...));
}
template <class... T>
constexpr uint32_t Drives(T... strengths) {
  return ((uint32_t{1} << strengths) | ...);
}
}  // namespace

// Display texts are kept exactly as the host shows them, slips included.
const TDeviceIOStandardParameters kDeviceIOStandardTable[kDeviceIOStandardCount] = {
    {"LVCMOS 1.2V", "LVCMOS12", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_2mA, eDrive_4mA, eDrive_6mA, eDrive_8mA)},  // sLVCMOS12
    {"LVCMOS 1.5V", "LVCMOS15", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_2mA, eDrive_4mA, eDrive_6mA, eDrive_8mA, eDrive_10mA, eDrive_12mA)},  // sLVCMOS15
    {"LVCMOS 1.8V", "LVCMOS18", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_2mA, eDrive_4mA, eDrive_6mA, eDrive_8mA, eDrive_10mA, eDrive_12mA, eDrive_16mA)},  // sLVCMOS18
    {"LVCMOS 2.5V", "LVCMOS25", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_4mA, eDrive_8mA, eDrive_12mA, eDrive_16mA)},  // sLVCMOS25
    {"LVCMOS 3.3V", "LVCMOS33", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_2mA)},  // sLVCMOS33
    {"LVTTL 1.2V", "LVTTL12", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_2mA, eDrive_4mA, eDrive_6mA, eDrive_8mA)},  // sLVTTL12
    {"LVTTL 1.5V", "LVTTL15", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_2mA, eDrive_4mA, eDrive_6mA, eDrive_8mA, eDrive_10mA, eDrive_12mA)},  // sLVTTL15
    {"LVTTL 1.8V", "LVTTL18", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_2mA, eDrive_4mA, eDrive_6mA, eDrive_8mA, eDrive_10mA, eDrive_12mA, eDrive_16mA)},  // sLVTTL18
    {"LVTTL 2.5V", "LVTTL25", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_4mA, eDrive_8mA, eDrive_12mA, eDrive_16mA)},  // sLVTTL25
    {"LVTTL 3.3V", "LVTTL33", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_4mA, eDrive_8mA)},  // sLVTTL33
    {"DHSTL12I", "DHSTL12I", true, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_4mA, eDrive_6mA, eDrive_8mA, eDrive_10mA, eDrive_12mA)},  // sDHSTL12I
    {"DHSTL12II", "DHSTL12II", true, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_16mA)},  // sDHSTL12II
    {"DHSTL Class I", "DHSTLI", true, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_4mA, eDrive_6mA, eDrive_8mA, eDrive_10mA, eDrive_12mA)},  // sDHSTLI
    {"DHSTL Class II", "DHSTLII", true, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_16mA)},  // sDHSTLII
    {"DHSTL 1.8V Class I", "DHSTL18I", true, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_4mA, eDrive_6mA, eDrive_8mA, eDrive_10mA, eDrive_12mA)},  // sDHSTL18I
    {"DHSTL 1.8V Class II", "DHSTL18II", true, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_16mA)},  // sDHSTL18II
    {"Differential SSTL Class I 1.5V", "DSSTL15I", true, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_4mA, eDrive_6mA, eDrive_8mA, eDrive_10mA, eDrive_12mA)},  // sDSSTL15I
    {"Differential SSTL Class II 1.5V", "DSSTL15II", true, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_16mA)},  // sDSSTL15II
    {"Differential SSTL 1.8V Class I", "DSSTL18I", true, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_4mA, eDrive_6mA, eDrive_8mA, eDrive_10mA, eDrive_12mA)},  // sDSSTL18I
    {"Differential SSTL 1.8V Class II", "DSSTL18II", true, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_16mA)},  // sDSSTL18II
    {"Differential 2.5-V SSTL Class I", "DSSTL25I", true, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_8mA, eDrive_10mA, eDrive_12mA)},  // sDSSTL25I
    {"Differential 2.5-V SSTL Class I", "DSSTL25II", true, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_16mA)},  // sDSSTL25II
    {"HSTL Class I 1.2V", "HSTLI_12", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_4mA, eDrive_6mA, eDrive_8mA, eDrive_10mA, eDrive_12mA)},  // sHSTLI_12
    {"HSTLII_12", "HSTLII_12", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_16mA)},  // sHSTLII_12
    {"HSTL Class I", "HSTLI", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_4mA, eDrive_6mA, eDrive_8mA, eDrive_10mA, eDrive_12mA)},  // sHSTLI
    {"HSTL Class II", "HSTLII", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_16mA)},  // sHSTLII
    {"HSTL Class I 1.8V", "HSTLI_18", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_4mA, eDrive_6mA, eDrive_8mA, eDrive_10mA, eDrive_12mA)},  // sHSTLI_18
    {"HSTL Class II 1.8V", "HSTLII_18", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_16mA)},  // sHSTLII_18
    {"SSTL Class I 1.5V", "SSTL15I", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_4mA, eDrive_6mA, eDrive_8mA, eDrive_10mA, eDrive_12mA)},  // sSSTL15I
    {"SSTL Class II 1.5V", "SSTL15II", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_16mA)},  // sSSTL15II
    {"SSTL18 Class I", "SSTL18I", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_4mA, eDrive_6mA, eDrive_8mA, eDrive_10mA, eDrive_12mA)},  // sSSTL18I
    {"SSTL18 Class II", "SSTL18II", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_16mA)},  // sSSTL18II
    {"SSTL2 Class I", "SSTL2I", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_8mA, eDrive_10mA, eDrive_12mA)},  // sSSTL2I
    {"SSTL2 Class II", "SSTL2II", false, Slews(eSlew_SLOW, eSlew_FAST), Drives(eDrive_16mA)},  // sSSTL2II
    {"Differential 1.2-V HSUL", "DHSUL12", true, 0, 0},  // sDHSUL12
    {"Differential 1.3-V SSTL", "DSSTL12", true, 0, 0},  // sDSSTL12
    {"Differential 1.25-V SSTL", "DSSTL125", true, 0, 0},  // sDSSTL125
    {"Differential 1.35-V SSTL", "DSSTL135", true, 0, 0},  // sDSSTL135
    {"DSSTL 1.5V", "DSSTL15", false, 0, 0},  // sDSSTL15
    {"1.2-V HSUL", "HSUL12", false, 0, 0},  // sHSUL12
    {"SSTL-12", "SSTL12", false, 0, 0},  // sSSTL12
    {"SSTL-125", "SSTL125", false, 0, 0},  // sSSTL125
    {"SSTL-135", "SSTL135", false, 0, 0},  // sSSTL135
    {"SSTL 1.5V", "SSTL15", false, 0, 0},  // sSSTL15
    {"PCML12", "PCML12", false, 0, 0},  // sPCML12
    {"PCML14", "PCML14", false, 0, 0},  // sPCML14
    {"PCML15", "PCML15", false, 0, 0},  // sPCML15
    {"Differential 2.5-V Pseudo Current Mode Logic", "PCML25", true, 0, 0},  // sPCML25
    {"LVPECL", "LVPECL", true, 0, 0},  // sLVPECL
    {"LVDS External Three-Resistor Network", "LVDS_E_3R", true, 0, 0},  // sLVDS_E_3R
    {"LVDS", "LVDS", true, 0, 0},  // sLVDS
    {"MiniLVDS25 External Three-Resistor Network", "MiniLVDS25_E_3R", true, 0, 0},  // sMiniLVDS25_E_3R
    {"Mini LVDS 2.5V", "MiniLVDS25", true, 0, 0},  // sMiniLVDS25
    {"RSDS25 External Three-Resistor Network", "RSDS25_E_3R", true, 0, 0},  // sRSDS25_E_3R
    {"RSDS 2.5V", "RSDS25", true, 0, 0},  // sRSDS25
    {"HCSL", "HCSL", false, 0, 0},  // sHCSL
};

}  // namespace tavix

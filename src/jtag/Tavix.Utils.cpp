#include "jtag/Tavix.Utils.h"

#include <limits>
#include <vector>

#include "host/Opal.Util.h"
#include "platform/Files.h"
#include "platform/IniFiles.h"
#include "platform/os/System.h"

namespace tavix {

namespace {

struct TStatusRow {
  const char* BaseName;
  int32_t A;
  int32_t B;
};

// Position of the configuration-done bit per Altera base name.
constexpr TStatusRow kStatusTable[] = {
    {"EP1C3", 113, 69},
    {"EP1C4", 310, 198},
    {"EP1C6", 194, 121},
    {"EP1C12", 258, 163},
    {"EP1C20", 310, 197},
    {"EP1S10", 439, 391},
    {"EP1S20", 599, 533},
    {"EP1S25", 719, 635},
    {"EP1S30", 751, 667},
    {"EP1S40", 843, 741},
    {"EP1S60", 1043, 923},
    {"EP1S80", 1259, 1121},
    {"EP1SGX10G", 343, 295},
    {"EP1SGX25G", 555, 471},
    {"EP1SGX40G", 647, 545},
    {"EP2S15", 380, 379},
    {"EP2S30", 564, 563},
    {"EP2S60", 732, 731},
    {"EP2S90", 916, 915},
    {"EP2S130", 1140, 1139},
    {"EP2S180", 1360, 1315},
    {"EP2C5", 166, 97},
    {"EP2C8", 199, 119},
    {"EP2C20", 323, 193},
    {"EP2C35", 483, 296},
    {"EP2C50", 458, 280},
    {"EP2C70", 630, 391},
    {"EP3C10", 201, 126},
    {"EP3C16", 360, 224},
    {"EP3C25", 244, 149},
    {"EP3C40", 544, 343},
    {"EP3C55", 388, 241},
    {"EP3C80", 438, 271},
    {"EP3C120", 540, 336},
    {"EP2SGX30C", 564, 563},
    {"EP2SGX30D", 564, 563},
    {"EP2SGX60C", 732, 731},
    {"EP2SGX60D", 732, 731},
    {"EP2SGX60E", 732, 731},
    {"EP2SGX90E", 672, 671},
    {"EP2SGX90F", 672, 671},
    {"EP2SGX130G", 816, 815},
    {"EP1AGX60C", 732, 731},
    {"EP1AGX60D", 732, 731},
    {"EP1AGX60E", 732, 731},
    {"EP1AGX90E", 672, 671},
    {"EP2AGX45C", 433, 42},
    {"EP2AGX45D", 433, 42},
    {"EP2AGX65C", 433, 42},
    {"EP2AGX65D", 433, 42},
    {"EP2AGX95D", 525, 62},
    {"EP2AGX95E", 525, 62},
    {"EP2AGX125D", 525, 62},
    {"EP2AGX125E", 525, 62},
    {"EP2AGX190E", 705, 82},
    {"EP2AGX190F", 705, 82},
    {"EP2AGX260E", 705, 82},
    {"EP2AGX260F", 705, 82},
    {"EP2AGZ225F", 758, 186},
    {"EP2AGZ225H", 758, 186},
    {"EP2AGZ300F", 894, 190},
    {"EP2AGZ300H", 894, 190},
    {"EP2AGZ350F", 894, 190},
    {"EP2AGZ350H", 894, 190},
    {"EP3SL50", 502, 122},
    {"EP3SL70", 502, 122},
    {"EP3SL110", 758, 186},
    {"EP3SL150", 758, 186},
    {"EP3SL200", 894, 190},
    {"EP3SL340", 1134, 278},
    {"EP3SE50", 502, 122},
    {"EP3SE80", 502, 122},
    {"EP3SE110", 758, 186},
    {"EP3SE260", 990, 238},
    {"EP4CE6", 201, 126},
    {"EP4CE10", 201, 126},
    {"EP4CE15", 360, 224},
    {"EP4CE22", 244, 149},
    {"EP4CE30", 544, 343},
    {"EP4CE40", 544, 343},
    {"EP4CE55", 388, 241},
    {"EP4CE75", 438, 271},
    {"EP4CE115", 540, 336},
    {"EP4CGX15B", 96, 20},
    {"EP4SGX70D", 438, 122},
    {"EP4SGX70H", 438, 122},
    {"EP4SGX110D", 438, 122},
    {"EP4SGX110F", 438, 122},
    {"EP4SGX180D", 758, 186},
    {"EP4SGX180F", 758, 186},
    {"EP4SGX180H", 758, 186},
    {"EP4SGX180K", 758, 186},
    {"EP4SGX230D", 758, 186},
    {"EP4SGX230F", 758, 186},
    {"EP4SGX230H", 758, 186},
    {"EP4SGX230K", 758, 186},
    {"EP4SGX290F", 894, 190},
    {"EP4SGX290H", 894, 190},
    {"EP4SGX290K", 894, 190},
    {"EP4SGX290N", 990, 238},
    {"EP4SGX360F", 894, 190},
    {"EP4SGX360H", 894, 190},
    {"EP4SGX360K", 894, 190},
    {"EP4SGX360N", 990, 238},
    {"EP4SGX530H", 990, 238},
    {"EP4SGX530K", 990, 238},
    {"EP4SGX530N", 990, 238},
    {"EP4SE110", 438, 122},
    {"EP4SE230", 758, 186},
    {"EP4SE290", 894, 190},
    {"EP4SE360", 894, 190},
    {"EP4SE530", 990, 238},
    {"EP4SE680", 1134, 278},
    {"EP4S40G2F", 758, 186},
    {"EP4S40G5H", 990, 238},
    {"EP4S100G2", 758, 186},
    {"EP4S100G5", 990, 238},
    {"5CEBA2", 288, 234},
    {"5CEBA4", 288, 234},
    {"5CEBA5", 368, 362},
    {"5CEBA7", 498, 490},
    {"5CEBA9", 576, 570},
    {"5CEFA2", 288, 234},
    {"5CEFA4", 288, 234},
    {"5CEFA5", 368, 362},
    {"5CEFA7", 498, 490},
    {"5CEFA9", 576, 570},
    {"5CGTFD5C5", 368, 362},
    {"5CGTFD5F5", 368, 362},
    {"5CGTFD7B5", 496, 490},
    {"5CGTFD7C5", 496, 490},
    {"5CGTFD7D5", 496, 490},
    {"5CGTFD9C5", 576, 570},
    {"5CGTFD9D5", 576, 570},
    {"5CGTFD9E5", 576, 570},
    {"5CGXBC3B6", 240, 234},
    {"5CGXBC3B7", 240, 234},
    {"5CGXBC4C6", 368, 362},
    {"5CGXBC4C7", 368, 362},
    {"5CGXBC5C6", 368, 362},
    {"5CGXBC5C7", 368, 362},
    {"5CGXBC7B6", 496, 490},
    {"5CGXBC7B7", 496, 490},
    {"5CGXBC7C6", 496, 490},
    {"5CGXBC7C7", 496, 490},
    {"5CGXBC7D6", 496, 490},
    {"5CGXBC7D7", 496, 490},
    {"5CGXBC9C6", 576, 570},
    {"5CGXBC9C7", 576, 570},
    {"5CGXBC9D6", 576, 570},
    {"5CGXBC9D7", 576, 570},
    {"5CGXBC9E6", 576, 570},
    {"5CGXBC9E7", 576, 570},
    {"5CGXFC3B6", 240, 234},
    {"5CGXFC3B7", 240, 234},
    {"5CGXFC4C6", 368, 362},
    {"5CGXFC4C7", 368, 362},
    {"5CGXFC4F6", 368, 362},
    {"5CGXFC4F7", 368, 362},
    {"5CGXFC5C6", 368, 362},
    {"5CGXFC5C7", 368, 362},
    {"5CGXFC5F6", 368, 362},
    {"5CGXFC5F7", 368, 362},
    {"5CGXFC7B6", 496, 490},
    {"5CGXFC7B7", 496, 490},
    {"5CGXFC7C6", 496, 490},
    {"5CGXFC7C7", 496, 490},
    {"5CGXFC7D6", 496, 490},
    {"5CGXFC7D7", 496, 490},
    {"5CGXFC9C6", 576, 570},
    {"5CGXFC9C7", 576, 570},
    {"5CGXFC9D6", 576, 570},
    {"5CGXFC9D7", 576, 570},
    {"5CGXFC9E6", 576, 570},
    {"5CGXFC9E7", 576, 570},
    {"5CSEBA5", 495, 489},
    {"5CSEBA6", 495, 489},
    {"5CSEMA5", 495, 489},
    {"5CSEMA6", 495, 489},
    {"5CSXFC5C6", 495, 489},
    {"5CSXFC5D6", 495, 489},
    {"5CSXFC6C6", 495, 489},
    {"5CSXFC6D6", 495, 489},
    {"5CSTFD5D5", 495, 489},
    {"5CSTFD6D5", 495, 489},
    {"5AGTFC7H3", 560, 554},
    {"5AGTFD3H3", 720, 714},
    {"5AGTFD7H3", 720, 714},
    {"5AGTFD7K3", 720, 714},
    {"5AGTMC3D3", 720, 714},
    {"5AGTMC7G3", 560, 554},
    {"5AGTMD3G3", 720, 714},
    {"5AGXBA1D4", 496, 490},
    {"5AGXBA1D6", 496, 490},
    {"5AGXBA3D4", 496, 490},
    {"5AGXBA3D6", 496, 490},
    {"5AGXBA5D4", 560, 554},
    {"5AGXBA5D6", 560, 554},
    {"5AGXBA7D4", 560, 554},
    {"5AGXBA7D6", 560, 554},
    {"5AGXBB1D4", 720, 714},
    {"5AGXBB1D6", 720, 714},
    {"5AGXBB3D4", 720, 714},
    {"5AGXBB3D6", 720, 714},
    {"5AGXBB5D4", 720, 714},
    {"5AGXBB5D6", 720, 714},
    {"5AGXBB7D4", 720, 714},
    {"5AGXBB7D6", 720, 714},
    {"5AGXFA5H4", 560, 554},
    {"5AGXFA5H6", 560, 554},
    {"5AGXFA7H4", 560, 554},
    {"5AGXFA7H6", 560, 554},
    {"5AGXFB1H4", 720, 714},
    {"5AGXFB1H6", 720, 714},
    {"5AGXFB3H4", 720, 714},
    {"5AGXFB3H6", 720, 714},
    {"5AGXFB5H4", 720, 714},
    {"5AGXFB5H6", 720, 714},
    {"5AGXFB5K4", 720, 714},
    {"5AGXFB5K6", 720, 714},
    {"5AGXFB7H4", 720, 714},
    {"5AGXFB7H6", 720, 714},
    {"5AGXFB7K4", 720, 714},
    {"5AGXFB7K6", 720, 714},
    {"5AGXMA1D4", 496, 490},
    {"5AGXMA1D6", 496, 490},
    {"5AGXMA3D4", 496, 490},
    {"5AGXMA3D6", 496, 490},
    {"5AGXMA5D4", 560, 554},
    {"5AGXMA5D6", 560, 554},
    {"5AGXMA5G4", 560, 554},
    {"5AGXMA5G6", 560, 554},
    {"5AGXMA7D4", 560, 554},
    {"5AGXMA7D6", 560, 554},
    {"5AGXMA7G4", 560, 554},
    {"5AGXMA7G6", 560, 554},
    {"5AGXMB1G4", 720, 714},
    {"5AGXMB1G6", 720, 714},
    {"5AGXMB3G4", 720, 714},
    {"5AGXMB3G6", 720, 714},
    {"5AGXMB5G4", 720, 714},
    {"5AGXMB5G6", 720, 714},
    {"5AGXMB7G4", 720, 714},
    {"5AGXMB7G6", 720, 714},
    {"5ASTFD3G3", 823, 817},
    {"5ASTFD5G3", 823, 817},
    {"5ASTMD3E3", 823, 817},
    {"5ASTMD5E3", 823, 817},
    {"5ASXBB3D4", 823, 817},
    {"5ASXBB3D6", 823, 817},
    {"5ASXBB5D4", 823, 817},
    {"5ASXBB5D6", 823, 817},
    {"5ASXFB3G4", 823, 817},
    {"5ASXFB3G6", 823, 817},
    {"5ASXFB3H4", 823, 817},
    {"5ASXFB3H6", 823, 817},
    {"5ASXFB5G4", 823, 817},
    {"5ASXFB5G6", 823, 817},
    {"5ASXFB5H4", 823, 817},
    {"5ASXFB5H6", 823, 817},
    {"5ASXMB3E4", 823, 817},
    {"5ASXMB3E6", 823, 817},
    {"5ASXMB3G4", 823, 817},
    {"5ASXMB3G6", 823, 817},
    {"5ASXMB5E4", 823, 817},
    {"5ASXMB5E6", 823, 817},
    {"5ASXMB5G4", 823, 817},
    {"5ASXMB5G6", 823, 817},
    {"5AGZME1E2", 777, 328},
    {"5AGZME1E3", 777, 328},
    {"5AGZME1H2", 777, 328},
    {"5AGZME1H3", 777, 328},
    {"5AGZME3E2", 777, 328},
    {"5AGZME3E3", 777, 328},
    {"5AGZME3H2", 777, 328},
    {"5AGZME3H3", 777, 328},
    {"5AGZME5H2", 1025, 424},
    {"5AGZME5H3", 1025, 424},
    {"5AGZME5K2", 1025, 424},
    {"5AGZME5K3", 1025, 424},
    {"5AGZME7H2", 1025, 424},
    {"5AGZME7H3", 1025, 424},
    {"5AGZME7K2", 1025, 424},
    {"5AGZME7K3", 1025, 424},
};

// Ends a channel access when the scope ends, also when a step in between failed.
class TChannelAccess {
 public:
  explicit TChannelAccess(const IJTagChannel& channel) : FChannel(channel) { FChannel.BeginChannelAccess(); }
  ~TChannelAccess() {
    try {
      FChannel.EndChannelAccess();
    } catch (...) {
    }
  }
  TChannelAccess(const TChannelAccess&) = delete;
  TChannelAccess& operator=(const TChannelAccess&) = delete;

 private:
  const IJTagChannel& FChannel;
};

ComPtr<IJTagLines> RequireLines(const IJTagChannel& channel) {
  ComPtr<IJTagLines> lines = channel.GetLines();
  if (!lines) throw EOleError(E_NOINTERFACE, "the JTAG channel has no pin-level lines");
  return lines;
}

// A busy wait on the tick count that yields the processor between checks and processes no
// window messages.
void Pause(uint32_t milliseconds) {
  const uint32_t start = os::GetTickCount();
  while (os::GetTickCount() - start < milliseconds) os::Sleep(0);
}

}  // namespace

TStatusPosition LookupStatusPosition(const std::string& baseName) {
  for (const TStatusRow& row : kStatusTable)
    if (SameText(baseName, row.BaseName)) return {true, row.A, row.B};
  return {};
}

int StatusTableRowCount() { return static_cast<int>(std::size(kStatusTable)); }

bool ReadConfigDoneBit(const std::string& baseName, const IJTagChannel& channel, int32_t position) {
  if (channel.Empty()) return false;
  const ComPtr<IJTagLines> lines = RequireLines(channel);
  TChannelAccess access(channel);
  channel.LoadInstruction(kAlteraCheckStatus, position);
  channel.MoveTapState(eTapState_RunTestIdle, eTapState_ShiftDR);
  const TStatusPosition status = LookupStatusPosition(baseName);
  if (!status.Found || status.A == 0) return false;  // the TAP stays in Shift-DR
  // Bring bit 3 x (A - B) + 1 of the device to TDO past the bypass bits of the devices between
  // it and TDO (positions count from the TDI end).
  const int32_t clocks = 3 * (status.A - status.B) + channel.GetChainDeviceCount() - position;
  for (int32_t i = 0; i < clocks; ++i) channel.ClockTms(0);
  OleCheck(lines->Capture());
  uint8_t bit = 0;
  OleCheck(lines->GetTdo(&bit));
  channel.ClockTms(1);
  channel.MoveTapState(eTapState_Exit1DR, eTapState_RunTestIdle);
  return bit != 0;
}

uint8_t GetAlteraDeviceState(const std::string& baseName, const IJTagChannel& channel, int32_t position) {
  return ReadConfigDoneBit(baseName, channel, position) ? kDeviceState_Programmed : kDeviceState_Reset;
}

bool ResetAlteraDevice(const std::string& baseName, const IJTagChannel& channel, int32_t position) {
  if (channel.Empty()) return false;
  {
    TChannelAccess access(channel);
    channel.GoToTapState(eTapState_RunTestIdle);
    channel.LoadInstruction(kAlteraProgram, position);
    channel.GoToTapState(eTapState_RunTestIdle);
  }
  return GetAlteraDeviceState(baseName, channel, position) == kDeviceState_Reset;
}

uint32_t ReadDataRegister32(const IJTagChannel& channel, int32_t position, int32_t instruction) {
  if (channel.Empty()) return 0xFFFFFFFFu;
  TChannelAccess access(channel);
  channel.GoToTapState(eTapState_RunTestIdle);
  channel.LoadInstruction(instruction, position);
  return channel.ScanDataRegister(0, 32, position);
}

uint32_t ReadAlteraUserCode(const IJTagChannel& channel, int32_t position) {
  return ReadDataRegister32(channel, position, kAlteraUserCode);
}

void RunStartupClocks(const IJTagChannel& channel, int32_t position) {
  if (channel.Empty()) return;
  const ComPtr<IJTagLines> lines = RequireLines(channel);
  channel.LoadInstruction(kAlteraStartup, position);
  for (int i = 0; i < 200; ++i) {
    OleCheck(lines->SetTdi(0));
    OleCheck(lines->Flush());
    channel.ClockTms(0);
    OleCheck(lines->SetTdi(1));
    OleCheck(lines->Flush());
    channel.ClockTms(0);
  }
  channel.GoToTapState(eTapState_RunTestIdle);
}

int32_t GetProgramIdleCycles(const std::string& familyName) {
  static constexpr struct {
    const char* Family;
    int32_t Cycles;
  } kIdleCycles[] = {{"Cyclone", 175},    {"Cyclone2", 300},   {"Cyclone3", 3181}, {"Cyclone4GX", 3181},
                     {"Cyclone4E", 3181}, {"Stratix", 175},    {"StratixGX", 175}, {"Stratix2", 300},
                     {"Stratix2GX", 300}, {"Stratix3", 4436},  {"ArriaGX", 300}};
  for (const auto& row : kIdleCycles)
    if (SameText(familyName, row.Family)) return row.Cycles;
  std::string value;
  if (!GetValueFromExtensions(familyName, "Cycles", value, "ClockCore")) return 175;
  int32_t cycles = -1;  // present but not a number: no idle cycles
  const std::string text = Trim(value);
  try {
    size_t used = 0;
    const long parsed = std::stol(text, &used);
    if (used == text.size() && parsed >= std::numeric_limits<int32_t>::min() &&
        parsed <= std::numeric_limits<int32_t>::max())
      cycles = static_cast<int32_t>(parsed);
  } catch (const std::exception&) {
  }
  return cycles;
}

namespace {

// The pin-level writes of the download.
class TAlteraDownload {
 public:
  explicit TAlteraDownload(IJTagLines* lines) : FLines(lines) {}

  void Tck(int32_t level) { OleCheck(FLines->SetTck(level)); }
  void Tdi(int32_t level) { OleCheck(FLines->SetTdi(level)); }
  void Tms(int32_t level) { OleCheck(FLines->SetTms(level)); }
  void Flush() { OleCheck(FLines->Flush()); }

  // The data bytes from `skip` on, least significant bit first. Each bit: an extra clock-low
  // write when the device is not first in the chain, then TCK low with the bit on TDI, then
  // TCK high. Bytes before `skip` are not sent but still step the progress.
  template <bool ExtraClockLow>
  void SendBytes(const std::vector<uint8_t>& data, int64_t skip) {
    IJTagLines* const lines = FLines;
    for (size_t counter = 0; counter < data.size(); ++counter) {
      if (static_cast<int64_t>(counter) >= skip) {
        const uint32_t byte = data[counter];
        for (int bit = 0; bit < 8; ++bit) {
          if constexpr (ExtraClockLow) {
            OleCheck(lines->SetTck(0));
            OleCheck(lines->Flush());
          }
          OleCheck(lines->SetTck(0));
          OleCheck(lines->SetTdi(static_cast<int32_t>((byte >> bit) & 1)));
          OleCheck(lines->Flush());
          OleCheck(lines->SetTck(1));
          OleCheck(lines->Flush());
        }
      }
      StepProgress();
    }
  }

 private:
  IJTagLines* FLines;
};

// Ends the progress begun on the status bar, also when the download fails.
class TProgressScope {
 public:
  TProgressScope(const std::string& caption, int64_t total) { BeginProgress(caption, static_cast<int32_t>(total)); }
  ~TProgressScope() {
    try {
      EndProgress();
    } catch (...) {
    }
  }
};

}  // namespace

int32_t ProgramAlteraDevice(const ITavixDriver& driver, const std::string& fileName, const IJTagChannel& channel,
                            int32_t position) {
  if (channel.Empty() || !FileExists(fileName)) return 0;
  const ComPtr<IJTagLines> lines = RequireLines(channel);
  std::vector<uint8_t> data;
  if (!ReadFileBytes(fileName, data)) throw EOleError(E_FAIL, "cannot read the bit file " + fileName);
  // The answer is the size in bits as a 32-bit number: refuse what it cannot express rather
  // than report a wrong count.
  if (data.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max() / 8))
    throw EOleError(E_INVALIDARG, "the bit file " + fileName + " is too large");
  const auto result = static_cast<int32_t>(data.size() * 8);

  TChannelAccess access(channel);
  channel.PrepareChain();
  Pause(40);

  const std::string familyName = driver.GetFamilyName();
  const IDeviceManager deviceManager(HostDeviceManager());
  if (!deviceManager) throw EOleError(E_POINTER, "the host has no device manager");
  const IDeviceFamilyManager familyManager = deviceManager.GetDeviceFamilyManager();
  if (!familyManager) throw EOleError(E_POINTER, "the host has no device family manager");
  const IDeviceFamily family = familyManager.GetDeviceFamily(familyName);
  if (!family) throw EOleError(E_POINTER, "the host knows no device family " + familyName);

  if (family.GetFamilyBoolean("ND_ActiveDisengage")) {
    channel.GoToTapState(eTapState_RunTestIdle);
    channel.LoadInstruction(kAlteraActiveDisengage, position);
  }
  channel.GoToTapState(eTapState_RunTestIdle);
  channel.LoadInstruction(kAlteraProgram, position);
  Pause(1000);

  TAlteraDownload download(lines.Get());
  download.Tdi(1);
  download.Flush();
  channel.MoveTapState(eTapState_RunTestIdle, eTapState_ShiftDR);
  const int32_t idleCycles = GetProgramIdleCycles(familyName);
  for (int32_t i = 0; i < idleCycles; ++i) {
    download.Tck(0);
    download.Flush();
    download.Tck(1);
    download.Flush();
  }
  download.Tdi(0);
  download.Tms(0);
  download.Tck(0);
  download.Flush();

  {
    TProgressScope progress("Programming Device Via JTAG...", static_cast<int64_t>(data.size()));
    const int32_t skip = family.HasFamilyParameter("ND_ProgramBitsToIgnore")
                             ? family.GetFamilyInteger("ND_ProgramBitsToIgnore")
                             : 0;
    if (position > 0) download.SendBytes<true>(data, skip);
    else download.SendBytes<false>(data, skip);
    for (int i = 0; i < 128; ++i) {
      download.Tck(0);
      download.Tdi(1);
      download.Flush();
      download.Tck(1);
      download.Flush();
    }
    if (position == 0) {
      download.Tck(0);
      download.Flush();
    }
    download.Tdi(0);
    download.Flush();
    download.Tck(0);
    download.Flush();
    for (int32_t i = 0; i < position; ++i) channel.ClockTms(0);
    channel.ClockTms(1);
    channel.MoveTapState(eTapState_Exit1DR, eTapState_RunTestIdle);
  }
  RunStartupClocks(channel, position);
  return result;
}

bool GetValueFromExtensions(const std::string& familyName, const std::string& paramName, std::string& value,
                            const std::string& sectionName) {
  value.clear();
  ForEachExtensionFolder([&](const std::string& folder) {
    const std::string path = folder + "TavixConfig.ini";
    if (!FileExists(path)) return true;
    const TIniFile ini(path);
    if (!SameText(ini.ReadString("General", "DeviceFamily", ""), familyName)) return true;
    value = ini.ReadString(sectionName, paramName, "");
    return value.empty();  // the first non-empty value answers
  });
  return !value.empty();
}

}  // namespace tavix

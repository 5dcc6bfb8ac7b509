// JTAG routines for Altera devices over the host's channel: configuration state, reset and
// user code, and the configuration download of a raw bit file.
#pragma once

#include <string>

#include "jtag/Tavix.JTagInterfaces.h"
#include "plugin/Tavix.Interfaces.h"

namespace tavix {

// Instruction codes of the 10-bit instruction register.
enum : int32_t {
  kAlteraProgram = 0x002,          // drop the configuration and take configuration data
  kAlteraStartup = 0x003,          // enter user mode during the following clocks
  kAlteraCheckStatus = 0x004,      // boundary register captures the configuration status
  kAlteraUserCode = 0x007,         // the 32-bit user-code register
  kAlteraActiveDisengage = 0x2D0,  // sent first when the family asks for it
};

// Device states as the host knows them.
enum : uint8_t { kDeviceState_Reset = 1, kDeviceState_Programmed = 2 };

// Where a device's configuration-done bit lies: 3 x (A - B) + 1 cells from the TDO end of its
// boundary register. Keyed by base name without regard to case.
struct TStatusPosition {
  bool Found = false;
  int32_t A = 0;
  int32_t B = 0;
};
TStatusPosition LookupStatusPosition(const std::string& baseName);
// The table's rows, for listing and checks.
int StatusTableRowCount();

bool ReadConfigDoneBit(const std::string& baseName, const IJTagChannel& channel, int32_t position);
uint8_t GetAlteraDeviceState(const std::string& baseName, const IJTagChannel& channel, int32_t position);
bool ResetAlteraDevice(const std::string& baseName, const IJTagChannel& channel, int32_t position);
uint32_t ReadDataRegister32(const IJTagChannel& channel, int32_t position, int32_t instruction);
uint32_t ReadAlteraUserCode(const IJTagChannel& channel, int32_t position);

// Sends a raw bit file into the device at `position`, least significant bit of each byte
// first; answers the file size in bits, or 0 when nothing was sent. The outcome is not checked
// here: callers read the device state afterwards.
int32_t ProgramAlteraDevice(const ITavixDriver& driver, const std::string& fileName, const IJTagChannel& channel,
                            int32_t position);
// Start-up: instruction 0x003, then 400 clocks in Run-Test/Idle with TDI alternating.
void RunStartupClocks(const IJTagChannel& channel, int32_t position);
// Idle clocks given in Shift-DR before the data, by family; -1 (a value that is no number)
// means none.
int32_t GetProgramIdleCycles(const std::string& familyName);
// First non-empty value of `paramName` in `sectionName` among the installed extensions'
// "TavixConfig.ini" files whose "DeviceFamily" matches `familyName` (without regard to case).
bool GetValueFromExtensions(const std::string& familyName, const std::string& paramName, std::string& value,
                            const std::string& sectionName);

}  // namespace tavix

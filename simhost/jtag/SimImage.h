// The configuration image of the simulated FPGA: its layout, the streaming receiver a device
// runs over what is shifted into it, and the tool that writes and checks image files.
//
// Layout of an image (multi-byte fields little-endian; on the wire each byte travels least
// significant bit first, as raw bit files do):
//
//   preamble   any bytes; the tool writes kSimImagePreamble bytes of 0xFF
//   sync word  kSimImageSync, 4 bytes: 6A 5C 3B D9
//   header     16 bytes: payload length (uint32), user code (uint32), CRC-32 of the payload
//              (uint32), CRC-32 of the preceding 12 header bytes (uint32)
//   payload    payload-length bytes
//   anything   ignored
//
// What the device takes as a COMPLETE IMAGE. The receiver hunts bit by bit for the sync word,
// whatever came before it: the bypass bits of the devices nearer TDI, the idle one-bits, the
// skipped leading bytes of the file, or a stream not aligned to bytes at all. The sync word
// starts with a 0 bit, so it never straddles a run of idle ones. After the sync it reads the
// header; a header whose own check fails was a false sync, and hunting goes on from the next
// bit. Then it counts the payload through a running CRC-32. The image is complete when the
// whole payload has arrived and its CRC matches; a wrong CRC fails the image for good, and a
// payload still arriving is incomplete. Bits after a complete or failed image are ignored,
// so the trailing one-bits and any later data change nothing. Only the running check is kept
// (memory stays the same whatever the image size), unless SetKeepPayload asks for the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavix::jtagsim {

constexpr uint32_t kSimImageSync = 0xD93B5C6Au;
constexpr size_t kSimImagePreamble = 32;
constexpr size_t kSimImageSyncSize = 4;
constexpr size_t kSimImageHeaderSize = 16;
// The smallest image the tool writes: preamble, sync word and header with an empty payload.
constexpr uint64_t kSimImageMinSize = kSimImagePreamble + kSimImageSyncSize + kSimImageHeaderSize;
// The payload length is a 32-bit field.
constexpr uint64_t kSimImageMaxSize = kSimImageMinSize + 0xFFFFFFFFull;

// CRC-32 (IEEE 802.3, reflected, as zip uses), continued from `crc` (0 to start).
uint32_t SimCrc32(std::span<const uint8_t> data, uint32_t crc = 0);
uint32_t SimCrc32Byte(uint32_t crc, uint8_t byte);

// Runs over the bits a device receives while it takes configuration data.
class TConfigReceiver {
 public:
  enum class TPhase : uint8_t { Hunting, Header, Payload, Complete, Failed };

  // Forgets everything received: hunting again, nothing kept.
  void Reset();

  // One bit as it arrives; called on every data clock, so cheap and allocation-free.
  void PushBit(bool bit) {
    ++FBits;
    switch (FPhase) {
      case TPhase::Hunting:
        FSync = (FSync >> 1) | (static_cast<uint32_t>(bit) << 31);
        if (FSync == kSimImageSync) StartHeader();
        return;
      case TPhase::Header:
      case TPhase::Payload:
        FByte |= static_cast<uint8_t>(bit) << FBitInByte;
        if (++FBitInByte == 8) TakeByte();
        return;
      case TPhase::Complete:
      case TPhase::Failed:
        return;
    }
  }
  // Whole bytes, least significant bit first.
  void PushBytes(std::span<const uint8_t> bytes);

  TPhase Phase() const { return FPhase; }
  bool Complete() const { return FPhase == TPhase::Complete; }
  // Header fields; valid from the end of the header on.
  uint32_t PayloadLength() const { return FPayloadLength; }
  uint32_t UserCode() const { return FUserCode; }
  uint64_t PayloadReceived() const { return FPayloadReceived; }
  // Bits received since the last reset, and the bit count at which the sync word ended (0 when
  // none was found yet).
  uint64_t BitsReceived() const { return FBits; }
  uint64_t SyncEnd() const { return FSyncEnd; }
  // Why the image is not complete, in words ("" when complete).
  std::string Status() const;

  // Keeps the payload bytes as they arrive (tests); off by default.
  void SetKeepPayload(bool keep) { FKeepPayload = keep; }
  const std::vector<uint8_t>& KeptPayload() const { return FKept; }

 private:
  void StartHeader();
  void TakeByte();
  void FinishHeader();

  TPhase FPhase = TPhase::Hunting;
  uint32_t FSync = 0;
  uint8_t FByte = 0;
  uint8_t FBitInByte = 0;
  uint8_t FHeaderFill = 0;
  uint8_t FHeader[kSimImageHeaderSize] = {};
  uint32_t FPayloadLength = 0;
  uint32_t FUserCode = 0;
  uint32_t FExpectedCrc = 0;
  uint32_t FCrc = 0xFFFFFFFFu;  // running, not yet inverted
  uint64_t FPayloadReceived = 0;
  uint64_t FBits = 0;
  uint64_t FSyncEnd = 0;
  bool FKeepPayload = false;
  std::vector<uint8_t> FKept;
};

// A valid image of `size` bytes in all (preamble, sync, header and a pseudo-random payload
// filling the rest) with the given user code. Throws std::invalid_argument when the size lies
// outside kSimImageMinSize..kSimImageMaxSize.
std::vector<uint8_t> MakeSimImage(uint64_t size, uint32_t userCode);

// Writes MakeSimImage to a file; the file appears whole or not at all. Throws
// std::invalid_argument for a bad size and std::runtime_error when the file cannot be written.
void WriteSimImageFile(const std::string& path, uint64_t size, uint32_t userCode);

// What the simulated device would make of an image sent as the file's bytes.
struct TSimImageCheck {
  bool Valid = false;
  uint32_t UserCode = 0;
  uint32_t PayloadLength = 0;
  uint64_t SyncOffset = 0;  // byte offset of the sync word in the file
  std::string Message;      // "valid image" or why not
};
TSimImageCheck CheckSimImage(std::span<const uint8_t> bytes);
// Reads the file in pieces; throws std::runtime_error when it cannot be read.
TSimImageCheck CheckSimImageFile(const std::string& path);

}  // namespace tavix::jtagsim

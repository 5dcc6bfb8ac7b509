#include "simhost/jtag/SimImage.h"

#include <array>
#include <fstream>
#include <stdexcept>

#include "platform/Files.h"

namespace tavix::jtagsim {

namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}
constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

inline uint32_t CrcStep(uint32_t running, uint8_t byte) {
  return kCrcTable[(running ^ byte) & 0xFFu] ^ (running >> 8);
}

uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void WriteLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

uint32_t SimCrc32Byte(uint32_t crc, uint8_t byte) { return ~CrcStep(~crc, byte); }

uint32_t SimCrc32(std::span<const uint8_t> data, uint32_t crc) {
  uint32_t running = ~crc;
  for (uint8_t b : data) running = CrcStep(running, b);
  return ~running;
}

// ---- receiver ----------------------------------------------------------------------------

void TConfigReceiver::Reset() {
  const bool keep = FKeepPayload;
  *this = TConfigReceiver();
  FKeepPayload = keep;
}

void TConfigReceiver::PushBytes(std::span<const uint8_t> bytes) {
  for (uint8_t b : bytes)
    for (int i = 0; i < 8; ++i) PushBit((b >> i) & 1u);
}

void TConfigReceiver::StartHeader() {
  FPhase = TPhase::Header;
  FSyncEnd = FBits;
  FByte = 0;
  FBitInByte = 0;
  FHeaderFill = 0;
}

void TConfigReceiver::TakeByte() {
  const uint8_t byte = FByte;
  FByte = 0;
  FBitInByte = 0;
  if (FPhase == TPhase::Header) {
    FHeader[FHeaderFill++] = byte;
    if (FHeaderFill == kSimImageHeaderSize) FinishHeader();
    return;
  }
  FCrc = CrcStep(FCrc, byte);
  if (FKeepPayload) FKept.push_back(byte);
  if (++FPayloadReceived == FPayloadLength)
    FPhase = (~FCrc == FExpectedCrc) ? TPhase::Complete : TPhase::Failed;
}

void TConfigReceiver::FinishHeader() {
  if (SimCrc32(std::span<const uint8_t>(FHeader, 12)) != ReadLe32(FHeader + 12)) {
    // A false sync: hunt again from the bit after it, over the bits taken as header.
    uint8_t replay[kSimImageHeaderSize];
    std::copy(std::begin(FHeader), std::end(FHeader), replay);
    FPhase = TPhase::Hunting;
    FSync = kSimImageSync;
    FSyncEnd = 0;
    FBits -= 8 * kSimImageHeaderSize;
    PushBytes(replay);
    return;
  }
  FPayloadLength = ReadLe32(FHeader);
  FUserCode = ReadLe32(FHeader + 4);
  FExpectedCrc = ReadLe32(FHeader + 8);
  FCrc = 0xFFFFFFFFu;
  FPayloadReceived = 0;
  FPhase = TPhase::Payload;
  if (FPayloadLength == 0) FPhase = (FExpectedCrc == 0) ? TPhase::Complete : TPhase::Failed;
}

std::string TConfigReceiver::Status() const {
  switch (FPhase) {
    case TPhase::Hunting:
      return "no sync word found";
    case TPhase::Header:
      return "image header incomplete";
    case TPhase::Payload:
      return "image incomplete: " + std::to_string(FPayloadReceived) + " of " +
             std::to_string(FPayloadLength) + " payload bytes received";
    case TPhase::Failed:
      return "image checksum mismatch";
    case TPhase::Complete:
      break;
  }
  return {};
}

// ---- image tool --------------------------------------------------------------------------

std::vector<uint8_t> MakeSimImage(uint64_t size, uint32_t userCode) {
  if (size < kSimImageMinSize || size > kSimImageMaxSize)
    throw std::invalid_argument("image size must lie between " + std::to_string(kSimImageMinSize) +
                                " and " + std::to_string(kSimImageMaxSize) + " bytes, not " +
                                std::to_string(size));
  std::vector<uint8_t> image(static_cast<size_t>(size));
  uint8_t* p = image.data();
  std::fill(p, p + kSimImagePreamble, 0xFF);
  p += kSimImagePreamble;
  WriteLe32(p, kSimImageSync);
  p += kSimImageSyncSize;
  uint8_t* header = p;
  p += kSimImageHeaderSize;
  const uint64_t payloadLength = size - kSimImageMinSize;

  // Payload: a xorshift sequence seeded by the user code, standing in for the bit stream.
  uint64_t state = 0x9E3779B97F4A7C15ull ^ userCode;
  uint8_t* end = image.data() + image.size();
  while (p < end) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    for (int i = 0; i < 8 && p < end; ++i) *p++ = static_cast<uint8_t>(state >> (8 * i));
  }
  WriteLe32(header, static_cast<uint32_t>(payloadLength));
  WriteLe32(header + 4, userCode);
  WriteLe32(header + 8, SimCrc32(std::span<const uint8_t>(header + kSimImageHeaderSize, payloadLength)));
  WriteLe32(header + 12, SimCrc32(std::span<const uint8_t>(header, 12)));
  return image;
}

void WriteSimImageFile(const std::string& path, uint64_t size, uint32_t userCode) {
  const std::vector<uint8_t> image = MakeSimImage(size, userCode);
  if (!WriteFileAtomically(path, image.data(), image.size()))
    throw std::runtime_error("cannot write the image file \"" + path + "\"");
}

namespace {

TSimImageCheck Verdict(const TConfigReceiver& receiver) {
  TSimImageCheck check;
  check.Valid = receiver.Complete();
  check.Message = check.Valid ? "valid image" : receiver.Status();
  if (receiver.Phase() != TConfigReceiver::TPhase::Hunting) {
    check.SyncOffset = (receiver.SyncEnd() - 8 * kSimImageSyncSize) / 8;
  }
  if (receiver.Phase() == TConfigReceiver::TPhase::Payload || receiver.Phase() == TConfigReceiver::TPhase::Complete ||
      receiver.Phase() == TConfigReceiver::TPhase::Failed) {
    check.UserCode = receiver.UserCode();
    check.PayloadLength = receiver.PayloadLength();
  }
  return check;
}

}  // namespace

TSimImageCheck CheckSimImage(std::span<const uint8_t> bytes) {
  TConfigReceiver receiver;
  receiver.PushBytes(bytes);
  return Verdict(receiver);
}

TSimImageCheck CheckSimImageFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read the image file \"" + path + "\"");
  TConfigReceiver receiver;
  std::vector<uint8_t> chunk(1 << 16);
  while (in) {
    in.read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
    const auto got = static_cast<size_t>(in.gcount());
    receiver.PushBytes(std::span<const uint8_t>(chunk.data(), got));
    if (receiver.Phase() == TConfigReceiver::TPhase::Complete ||
        receiver.Phase() == TConfigReceiver::TPhase::Failed)
      break;
  }
  if (in.bad()) throw std::runtime_error("cannot read the image file \"" + path + "\"");
  return Verdict(receiver);
}

}  // namespace tavix::jtagsim

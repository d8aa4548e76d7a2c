#include "bridge/frame_codec.h"

namespace vrpph::bridge {
namespace {

// Fills `buffer` with exactly `size` bytes unless the input ends first;
// how many bytes came.
std::size_t ReadFully(ByteSource& source, char* buffer, std::size_t size) {
  std::size_t got = 0;
  while (got < size) {
    const std::size_t read = source.Read(buffer + got, size - got);
    if (read == 0) break;
    got += read;
  }
  return got;
}

}  // namespace

FrameRead ReadFrame(ByteSource& source, std::size_t limit) {
  FrameRead frame;
  unsigned char header[4];
  const std::size_t got = ReadFully(source, reinterpret_cast<char*>(header), sizeof header);
  if (got == 0) return frame;
  if (got < sizeof header) {
    frame.status = FrameStatus::Truncated;
    return frame;
  }
  const std::uint32_t length = static_cast<std::uint32_t>(header[0]) | static_cast<std::uint32_t>(header[1]) << 8 |
                                static_cast<std::uint32_t>(header[2]) << 16 | static_cast<std::uint32_t>(header[3]) << 24;
  if (length > limit) {
    frame.status = FrameStatus::TooLong;
    return frame;
  }
  frame.payload.resize(length);
  if (ReadFully(source, frame.payload.data(), length) < length) {
    frame.payload.clear();
    frame.status = FrameStatus::Truncated;
    return frame;
  }
  frame.status = FrameStatus::Frame;
  return frame;
}

std::string EncodeFrame(std::string_view payload) {
  const auto length = static_cast<std::uint32_t>(payload.size());
  std::string frame;
  frame.reserve(4 + payload.size());
  for (int shift = 0; shift < 32; shift += 8) frame.push_back(static_cast<char>((length >> shift) & 0xFF));
  frame.append(payload);
  return frame;
}

}  // namespace vrpph::bridge

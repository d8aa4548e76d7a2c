// Native messaging's framing: each message is a 4-byte little-endian length
// and then that many bytes, in both directions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vrpph::bridge {

// The longest message either side accepts; the browsers refuse longer
// answers from a host, and no request of ours comes near it.
constexpr std::size_t kMaxFrameBytes = 1024 * 1024;

// The host's input: reads up to `size` bytes, at least one unless the input
// has ended (then 0).
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

enum class FrameStatus {
  Frame,      // `payload` holds one message
  End,        // the input ended between messages
  TooLong,    // the length says more than the limit; nothing of it was read
  Truncated,  // the input ended inside a length or a message
};

struct FrameRead {
  FrameStatus status = FrameStatus::End;
  std::string payload;
};

FrameRead ReadFrame(ByteSource& source, std::size_t limit = kMaxFrameBytes);

// The length's four bytes, then `payload`.
std::string EncodeFrame(std::string_view payload);

}  // namespace vrpph::bridge

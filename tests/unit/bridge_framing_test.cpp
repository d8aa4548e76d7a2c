#include "bridge/frame_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace vrpph::bridge {
namespace {

// Hands out its bytes at most `chunk` at a time, as a pipe may.
class ChunkedSource : public ByteSource {
 public:
  ChunkedSource(std::string bytes, std::size_t chunk) : bytes_(std::move(bytes)), chunk_(chunk) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min({size, chunk_, bytes_.size() - at_});
    std::copy_n(bytes_.data() + at_, n, buffer);
    at_ += n;
    return n;
  }

 private:
  std::string bytes_;
  std::size_t chunk_;
  std::size_t at_ = 0;
};

std::string Header(std::uint32_t length) {
  return {static_cast<char>(length & 0xFF), static_cast<char>(length >> 8 & 0xFF),
          static_cast<char>(length >> 16 & 0xFF), static_cast<char>(length >> 24 & 0xFF)};
}

TEST(BridgeFramingTest, LengthsWhoseBytesLookLikeControlCharactersRoundTripExactly) {
  // 0x1A0D0A00 would end a text-mode read, lose a CR or end a C string.
  for (std::uint32_t length : {0x00u, 0x0Au, 0x0Du, 0x1Au, 0x0A0Du, 0x1A00u, 0x0D0A00u, 0x0A001Au}) {
    SCOPED_TRACE(length);
    std::string payload(length, '\0');
    for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>("\x1A\r\n\0x"[i % 5]);
    const std::string frame = EncodeFrame(payload);
    ASSERT_EQ(frame.substr(0, 4), Header(length));
    for (std::size_t chunk : {std::size_t{1}, std::size_t{3}, std::size_t{65536}}) {
      ChunkedSource source(frame + frame, chunk);
      for (int copy = 0; copy < 2; ++copy) {
        const FrameRead read = ReadFrame(source);
        ASSERT_EQ(read.status, FrameStatus::Frame);
        ASSERT_EQ(read.payload, payload);
      }
      EXPECT_EQ(ReadFrame(source).status, FrameStatus::End);
    }
  }
}

TEST(BridgeFramingTest, FramesBeyondTheLimitOrCutShortAreTold) {
  struct Case {
    const char* name;
    std::string bytes;
    FrameStatus status;
  };
  const Case cases[] = {
      {"nothing", "", FrameStatus::End},
      {"two bytes of a length", Header(5).substr(0, 2), FrameStatus::Truncated},
      {"a message cut short", Header(5) + "abc", FrameStatus::Truncated},
      {"one byte over the limit", Header(kMaxFrameBytes + 1) + "x", FrameStatus::TooLong},
      {"the largest length", Header(0xFFFFFFFFu), FrameStatus::TooLong},
  };
  for (const Case& c : cases) {
    ChunkedSource source(c.bytes, 2);
    EXPECT_EQ(ReadFrame(source).status, c.status) << c.name;
  }
  // Exactly the limit is a message.
  ChunkedSource atLimit(Header(kMaxFrameBytes) + std::string(kMaxFrameBytes, 'a'), 4096);
  const FrameRead read = ReadFrame(atLimit);
  EXPECT_EQ(read.status, FrameStatus::Frame);
  EXPECT_EQ(read.payload.size(), kMaxFrameBytes);
}

}  // namespace
}  // namespace vrpph::bridge

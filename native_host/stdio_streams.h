// The port as native messaging gives it: the browser's messages on standard
// input, the answers on standard output, both in binary mode (in text mode
// 0x1A would end the input and every 0x0A would gain a 0x0D).
#pragma once

#include <cstdio>

#include "bridge/bridge_session.h"
#include "bridge/frame_codec.h"

namespace vrpph::bridge {

// Puts both standard streams in binary mode.
void UseBinaryStdio();

class StdinSource : public ByteSource {
 public:
  std::size_t Read(char* buffer, std::size_t size) override;
};

class StdoutSink : public ByteSink {
 public:
  // A browser that went away makes the write fail; nothing is left to tell.
  void Write(std::string_view bytes) override;
};

}  // namespace vrpph::bridge

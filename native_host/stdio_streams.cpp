#include "stdio_streams.h"

#include <fcntl.h>
#include <io.h>

namespace vrpph::bridge {

void UseBinaryStdio() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

std::size_t StdinSource::Read(char* buffer, std::size_t size) { return std::fread(buffer, 1, size, stdin); }

void StdoutSink::Write(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

}  // namespace vrpph::bridge

// What the stand-in received, appended to its log file one entry at a time:
//
//   <KIND> <number> <length>\n<length bytes, exactly as received>\n
//
// KIND is START (number 0, the command line after the program name), RECORD
// (number: the message's dwData), CLAIM (number: the reply given), ABOUT,
// OPTIONS or UNINSTALL (number 0). The file is opened for each entry, so a
// reader sees every entry as soon as it is written, and each entry is on
// disk before Write returns: a record the stand-in answered for is never
// lost, even when the process is killed right after.
#pragma once

#include <cstdint>
#include <string>

namespace standin {

class ManagerLog {
 public:
  explicit ManagerLog(std::string path) : path_(std::move(path)) {}
  void Write(const char* kind, std::uintptr_t number, const void* bytes, std::size_t length) const;
  void Write(const char* kind, std::uintptr_t number, const std::string& bytes) const {
    Write(kind, number, bytes.data(), bytes.size());
  }

 private:
  std::string path_;
};

}  // namespace standin

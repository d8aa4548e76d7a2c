// The host's manifests as files in the program's own folder.
#pragma once

#include <string>

#include "bridge/host_registration.h"

namespace vrpph::bridge {

class Win32ManifestFiles : public ManifestFiles {
 public:
  // `folder`: the program's folder in UTF-16, with its trailing backslash.
  explicit Win32ManifestFiles(std::wstring folder) : folder_(std::move(folder)) {}

  bool Write(const char* name, const std::string& contents) override;
  bool Remove(const char* name) override;
  std::string AnsiPath(const char* name) const override;

 private:
  [[nodiscard]] std::wstring PathOf(const char* name) const;

  std::wstring folder_;
};

// The program's full path and folder (with its trailing backslash) in UTF-16;
// empty when the name does not fit.
std::wstring ProgramPath();
std::wstring FolderOf(const std::wstring& path);
// `text` in UTF-8 or in the ANSI code page.
std::string ToUtf8(const std::wstring& text);
std::string ToAnsi(const std::wstring& text);

}  // namespace vrpph::bridge

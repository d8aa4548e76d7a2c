#include "manager_log.h"

#include <windows.h>

#include "platform/win32/handles.h"

namespace standin {

void ManagerLog::Write(const char* kind, std::uintptr_t number, const void* bytes, std::size_t length) const {
  std::string entry = std::string(kind) + " " + std::to_string(number) + " " + std::to_string(length) + "\n";
  if (length) entry.append(static_cast<const char*>(bytes), length);
  entry += '\n';

  // Several processes may append (a second start forwards its switch);
  // retry briefly while another holds the file.
  for (int attempt = 0; attempt < 50; ++attempt) {
    vrpph::platform::UniqueFile file(CreateFileA(path_.c_str(), FILE_APPEND_DATA,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      Sleep(20);
      continue;
    }
    DWORD written = 0;
    WriteFile(file.get(), entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
    FlushFileBuffers(file.get());
    return;
  }
}

}  // namespace standin

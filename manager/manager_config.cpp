#include "manager_config.h"

#include <windows.h>

#include <fstream>

namespace standin {

std::string ExecutableStem() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return "TQP";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  std::size_t slash = path.find_last_of("\\/");
  std::size_t dot = path.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.resize(dot);
  return path;
}

ManagerConfig ReadManagerConfig(const std::string& stem) {
  ManagerConfig config;
  config.logPath = stem + ".log";
  std::ifstream file(stem + ".cfg", std::ios::binary);
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    std::string key = line.substr(0, equals);
    std::string value = line.substr(equals + 1);
    if (key == "log") {
      config.logPath = value;
    } else if (key == "claim") {
      config.claimedUrls.push_back(value);
    } else if (key == "claim-prefix") {
      config.claimedPrefixes.push_back(value);
    }
  }
  return config;
}

}  // namespace standin

#include "wine/support/standin_manager.h"

#include <tlhelp32.h>

#include <fstream>
#include <sstream>

#include "platform/win32/handles.h"

#include "wine/support/vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

std::string TestProgramFolder() {
  std::string dll = VrpphDllPath();
  return dll.substr(0, dll.find_last_of("\\/") + 1);
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
}

std::string ImagePath(HANDLE process) {
  char path[MAX_PATH * 2] = {};
  DWORD size = sizeof path;
  return QueryFullProcessImageNameA(process, 0, path, &size) ? std::string(path, size) : std::string();
}

}  // namespace

StandInManager::StandInManager(const std::vector<std::string>& claimedUrls,
                               const std::vector<std::string>& claimedPrefixes) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  folder_ = std::string(temp) + "vrpph stand-in " + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder_.c_str(), nullptr);
  programPath_ = folder_ + "TQP.EXE";
  logPath_ = folder_ + "events.log";
  CopyFileA((TestProgramFolder() + "TQP.exe").c_str(), programPath_.c_str(), FALSE);
  DeleteFileA(logPath_.c_str());
  std::string config = "log=" + logPath_ + "\r\n";
  for (const auto& url : claimedUrls) config += "claim=" + url + "\r\n";
  for (const auto& prefix : claimedPrefixes) config += "claim-prefix=" + prefix + "\r\n";
  WriteFile(folder_ + "TQP.cfg", config);
}

StandInManager::~StandInManager() {
  StopAll();
  for (const char* name : {"TQP.EXE", "TQP.cfg", "events.log"}) DeleteFileA((folder_ + name).c_str());
  RemoveDirectoryA(folder_.c_str());
}

bool StandInManager::Launch(const std::string& tail) {
  std::string line = "\"" + programPath_ + "\"" + tail;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return false;
  }
  platform::UniqueHandle process(info.hProcess);
  platform::UniqueHandle thread(info.hThread);
  return true;
}

HWND StandInManager::WaitForWindow(const char* windowClass, const char* title, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  do {
    if (HWND window = FindWindowA(windowClass, title)) return window;
    Sleep(20);
  } while (GetTickCount64() < end);
  return nullptr;
}

std::vector<ManagerLogEntry> StandInManager::ReadLog() const {
  std::ifstream file(logPath_, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::vector<ManagerLogEntry> entries;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t newline = text.find('\n', at);
    if (newline == std::string::npos) break;
    std::istringstream header(text.substr(at, newline - at));
    ManagerLogEntry entry;
    std::size_t length = 0;
    if (!(header >> entry.kind >> entry.number >> length)) break;
    if (newline + 1 + length + 1 > text.size()) break;  // still being written
    entry.bytes = text.substr(newline + 1, length);
    entries.push_back(entry);
    at = newline + 1 + length + 1;
  }
  return entries;
}

std::vector<ManagerLogEntry> StandInManager::Entries(const std::string& kind) const {
  std::vector<ManagerLogEntry> matching;
  for (auto& entry : ReadLog()) {
    if (entry.kind == kind) matching.push_back(entry);
  }
  return matching;
}

std::vector<ManagerLogEntry> StandInManager::WaitForEntries(const std::string& kind, std::size_t count,
                                                            DWORD timeoutMs) const {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    auto entries = Entries(kind);
    if (entries.size() >= count || GetTickCount64() >= end) return entries;
    Sleep(20);
  }
}

int StandInManager::StopAll() const {
  platform::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) return 0;
  int stopped = 0;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
    if (lstrcmpiA(entry.szExeFile, "TQP.EXE") != 0) continue;
    platform::UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                               entry.th32ProcessID));
    if (!process.get() || lstrcmpiA(ImagePath(process.get()).c_str(), programPath_.c_str()) != 0) continue;
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 5000);
    ++stopped;
  }
  return stopped;
}

}  // namespace vrpph::wine_tests

// registry_dump: the registry of a Wine prefix as lines a shell can compare,
// for the package's install, upgrade and uninstall test.
//
//   registry_dump FILE             HKLM in both views and HKCU, one row a line
//   registry_dump --short-path P   the short form of path P, as the Installer
//                                  and regsvr32 write it
//
// A row: view (64 or 32), root, key, kind (value or key), value name ("@" for
// the default), type, data (text with tab, CR and LF written \t, \r, \n;
// other types in hex), split by tabs. The test sorts the lines.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "registry_rows/registry_snapshot.h"

namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

std::string DataText(const vrpph::packaging::RegistryRow& row) {
  if ((row.type == REG_SZ || row.type == REG_EXPAND_SZ) && !row.data.empty() && row.data.back() == 0) {
    return Escaped(std::string(row.data.begin(), row.data.end() - 1));
  }
  std::string hex = "hex:";
  for (std::uint8_t byte : row.data) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", byte);
    hex += digits;
  }
  return hex;
}

void Write(std::ostream& out, const char* view, const vrpph::packaging::RegistryState& state) {
  for (const auto& [key, row] : state) {
    out << view << '\t' << row.root << '\t' << Escaped(row.key) << '\t' << (row.keyOnly ? "key" : "value") << '\t'
        << (row.keyOnly ? "" : row.name.empty() ? "@" : Escaped(row.name)) << '\t' << row.type << '\t'
        << (row.keyOnly ? "" : DataText(row)) << '\n';
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--short-path") {
    char shortPath[MAX_PATH];
    const DWORD length = GetShortPathNameA(argv[2], shortPath, sizeof shortPath);
    if (length == 0 || length >= sizeof shortPath) {
      std::fprintf(stderr, "registry_dump: no short path for %s (error %lu)\n", argv[2], GetLastError());
      return 1;
    }
    std::printf("%s\n", shortPath);
    return 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: registry_dump FILE | --short-path PATH\n");
    return 2;
  }
  using vrpph::packaging::TakeSnapshot;
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  int unreadable = 0, more = 0;
  Write(out, "64", TakeSnapshot(HKEY_LOCAL_MACHINE, "HKLM", "", KEY_WOW64_64KEY, &unreadable));
  Write(out, "32", TakeSnapshot(HKEY_LOCAL_MACHINE, "HKLM", "", KEY_WOW64_32KEY, &more));
  unreadable += more;
  Write(out, "64", TakeSnapshot(HKEY_CURRENT_USER, "HKCU", "", KEY_WOW64_64KEY, &more));
  unreadable += more;
  if (!out.flush()) {
    std::fprintf(stderr, "registry_dump: cannot write %s\n", argv[1]);
    return 1;
  }
  // Keys Wine keeps from every process are no fault of the package; the count
  // lets the test see that the same ones were left out each time.
  std::printf("registry_dump: %d keys could not be opened\n", unreadable);
  return 0;
}

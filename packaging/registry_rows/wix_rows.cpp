#include "registry_rows/wix_rows.h"

#include <cstdint>
#include <string_view>

namespace vrpph::packaging {
namespace {

constexpr std::uint32_t kText = 1;    // REG_SZ
constexpr std::uint32_t kNumber = 4;  // REG_DWORD

std::string XmlAttribute(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// The data as a text: a REG_SZ without its terminator, a REG_DWORD in
// decimal; false for any other kind of data.
bool DataText(const RegistryRow& row, std::string* text) {
  if (row.type == kText && !row.data.empty() && row.data.back() == 0) {
    text->assign(row.data.begin(), row.data.end() - 1);
    return true;
  }
  if (row.type == kNumber && row.data.size() == 4) {
    const std::uint32_t number = row.data[0] | row.data[1] << 8 | row.data[2] << 16 |
                                 static_cast<std::uint32_t>(row.data[3]) << 24;
    *text = std::to_string(number);
    return true;
  }
  return false;
}

// Key, name and value are formatted text to the installer and the source of
// wixl's preprocessor: brackets stand only for the references the rows were
// given, "$(" would be a preprocessor variable, and a text of "#" first is
// read as a number.
bool Expressible(const std::string& text, bool value, std::string* why) {
  for (std::size_t at = text.find('['); at != std::string::npos; at = text.find('[', at + 1)) {
    const std::size_t end = text.find(']', at);
    const std::string inside = end == std::string::npos ? "" : text.substr(at + 1, end - at - 1);
    const bool reference = !inside.empty() && inside.find_first_of("[\\") == std::string::npos;
    if (!reference) {
      *why = "a '[' that is no reference";
      return false;
    }
  }
  if (text.find("$(") != std::string::npos) {
    *why = "'$(' (a wixl preprocessor variable)";
    return false;
  }
  if (value && !text.empty() && text[0] == '#') {
    *why = "a leading '#'";
    return false;
  }
  return true;
}

bool AsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The Installer's identifiers: a letter or '_' first, then letters, digits,
// '_' and '.'.
bool FileId(const std::string& id) {
  if (id.empty() || !(AsciiLetter(id[0]) || id[0] == '_')) return false;
  for (char c : id) {
    if (!AsciiLetter(c) && !(c >= '0' && c <= '9') && c != '_' && c != '.') return false;
  }
  return true;
}

// A plain file name: no folder, nothing XML, the Installer's formatting or
// wixl's preprocessor would read otherwise, and no '|' (which splits a short
// name from a long one).
bool FileName(const std::string& name) {
  constexpr std::string_view kRefused = "\\/:*?\"<>|&[]$";
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || kRefused.find(c) != std::string_view::npos) return false;
  }
  return true;
}

}  // namespace

bool WriteComponentRows(std::ostream& out, const std::vector<PackageRow>& rows, int bits, std::string* error) {
  return WriteComponentInclude(out, "the " + std::to_string(bits) + "-bit module's own registration", {}, rows, bits,
                               error);
}

bool WriteComponentInclude(std::ostream& out, const std::string& madeFrom, const std::vector<WixFile>& files,
                           const std::vector<PackageRow>& rows, int bits, std::string* error) {
  out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      << "<!-- Made by registry_rows from " << madeFrom << ": do not edit. -->\n"
      << "<Include xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n";
  for (const WixFile& file : files) {
    if (!FileId(file.id) || !FileName(file.name)) {
      *error = "file '" + file.name + "' (Id '" + file.id + "'): not a name wixl and the Installer take as it is";
      return false;
    }
    out << "  <File Id=\"" << file.id << "\" Name=\"" << file.name << "\" Source=\"" << file.name << "\"/>\n";
  }
  for (const PackageRow& placed : rows) {
    if (placed.bits != bits || placed.placement != Placement::Component) continue;
    const RegistryRow& row = placed.row;
    std::string why;
    if (!Expressible(row.key, false, &why) || !Expressible(row.name, false, &why)) {
      *error = Describe(row) + ": its name holds " + why;
      return false;
    }
    out << "  <RegistryValue Root=\"" << row.root << "\" Key=\"" << XmlAttribute(row.key) << "\"";
    if (row.keyOnly) {
      // "*": the key is created and, with all below it, removed again; "+": only created.
      out << " Name=\"" << (placed.keptKey ? "+" : "*") << "\" Type=\"string\" Value=\"\"/>\n";
      continue;
    }
    std::string data;
    if (!DataText(row, &data)) {
      *error = Describe(row) + ": data of type " + std::to_string(row.type) + " is not carried";
      return false;
    }
    if (!Expressible(data, true, &why)) {
      *error = Describe(row) + ": its data holds " + why;
      return false;
    }
    if (row.name.empty() && data.empty()) {
      // A row without name and value only creates its key.
      *error = Describe(row) + ": an empty default value cannot be written by a Registry row";
      return false;
    }
    if (!row.name.empty()) out << " Name=\"" << XmlAttribute(row.name) << "\"";
    out << " Type=\"" << (row.type == kText ? "string" : "integer") << "\" Value=\"" << XmlAttribute(data)
        << "\"/>\n";
  }
  out << "</Include>\n";
  return true;
}

bool WriteRowTable(std::ostream& out, const std::vector<PackageRow>& rows, std::string* error) {
  for (const PackageRow& placed : rows) {
    const RegistryRow& row = placed.row;
    std::string data;
    if (!row.keyOnly && !DataText(row, &data)) data = "<type " + std::to_string(row.type) + ">";
    if ((row.key + row.name + data).find_first_of("\t\r\n") != std::string::npos) {
      *error = Describe(row) + ": a tab or line break in a field";
      return false;
    }
    out << placed.bits << '\t' << (placed.otherView ? "other" : "own") << '\t' << PlacementName(placed.placement)
        << '\t' << row.root << '\t' << row.key << '\t'
        << (row.keyOnly ? (placed.keptKey ? "kept-key" : "key") : "value") << '\t'
        << (row.keyOnly ? "" : row.name.empty() ? "@" : row.name) << '\t' << (row.keyOnly ? 0 : row.type) << '\t'
        << data << '\n';
  }
  return true;
}

}  // namespace vrpph::packaging

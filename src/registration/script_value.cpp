#include "registration/script_value.h"

#include "platform/registry.h"
#include "registration/script_chars.h"

namespace vrpph {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::optional<std::uint32_t> ParseDigits(std::string_view digits, std::uint64_t base) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t number = 0;
  for (char c : digits) {
    int digit = HexValue(c);
    if (digit < 0 || static_cast<std::uint64_t>(digit) >= base) return std::nullopt;
    number = number * base + static_cast<std::uint64_t>(digit);
    if (number > 0xFFFFFFFFu) return std::nullopt;
  }
  return static_cast<std::uint32_t>(number);
}

}  // namespace

std::optional<std::uint32_t> ScriptValueType(std::string_view word) {
  if (SameWord(word, "S")) return platform::value_type::Sz;
  if (SameWord(word, "D")) return platform::value_type::Dword;
  if (SameWord(word, "B")) return platform::value_type::Binary;
  return std::nullopt;
}

std::optional<std::uint32_t> ParseScriptNumber(std::string_view token) {
  token = TrimBlanks(token);
  if (token.size() > 2 && token[0] == '&' && (token[1] == 'H' || token[1] == 'h')) {
    return ParseDigits(token.substr(2), 16);
  }
  return ParseDigits(token, 10);
}

HResult EncodeScriptValue(std::uint32_t type, std::string_view token, std::vector<std::uint8_t>* data) {
  data->clear();
  if (type == platform::value_type::Sz) {
    data->assign(token.begin(), token.end());
    data->push_back(0);
    return hresult::Ok;
  }
  if (type == platform::value_type::Dword) {
    std::optional<std::uint32_t> number = ParseScriptNumber(token);
    if (!number) return hresult::DispException;
    for (int shift = 0; shift < 32; shift += 8) data->push_back(static_cast<std::uint8_t>(*number >> shift));
    return hresult::Ok;
  }
  if (token.size() % 2 != 0) return hresult::Fail;
  for (std::size_t i = 0; i < token.size(); i += 2) {
    // A character that is no hex digit counts as 0.
    int high = HexValue(token[i]), low = HexValue(token[i + 1]);
    data->push_back(static_cast<std::uint8_t>((high < 0 ? 0 : high) << 4 | (low < 0 ? 0 : low)));
  }
  return hresult::Ok;
}

}  // namespace vrpph

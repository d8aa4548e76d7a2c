#include "registration/script_reader.h"

#include "registration/script_chars.h"

namespace vrpph {

namespace {

bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Appends one character unless the token would outgrow its limit.
bool Append(std::string& token, std::string_view character) {
  if (token.size() + character.size() > kMaxTokenBytes) return false;
  token += character;
  return true;
}

}  // namespace

ScriptReader::ScriptReader(const platform::Text& text, std::string_view script)
    : text_(text), script_(script.substr(0, script.find('\0'))) {}

std::size_t ScriptReader::CharAt(std::size_t at) const { return CharSize(text_, script_, at); }

void ScriptReader::SkipWhiteSpace() {
  while (!AtEnd() && IsWhiteSpace(script_[at_])) ++at_;
}

HResult ScriptReader::ReadToken(std::string* token) {
  SkipWhiteSpace();
  if (AtEnd()) return hresult::DispException;
  return script_[at_] == '\'' ? ReadQuoted(token) : ReadPlain(token);
}

HResult ScriptReader::ReadQuoted(std::string* token) {
  std::string out;
  std::size_t at = at_ + 1;
  for (;;) {
    std::size_t size = CharAt(at);
    if (size == 0) return hresult::DispException;
    if (size == 1 && script_[at] == '\'') {
      if (at + 1 >= script_.size() || script_[at + 1] != '\'') break;
      ++at;  // '' stands for one '
    }
    if (!Append(out, script_.substr(at, size))) return hresult::DispException;
    at += size;
  }
  at_ = at + 1;
  *token = std::move(out);
  return hresult::Ok;
}

HResult ScriptReader::ReadPlain(std::string* token) {
  std::string out;
  std::size_t at = at_;
  for (std::size_t size = CharAt(at); size != 0; size = CharAt(at)) {
    if (size == 1 && IsWhiteSpace(script_[at])) break;
    if (!Append(out, script_.substr(at, size))) return hresult::DispException;
    at += size;
  }
  at_ = at;
  *token = std::move(out);
  return hresult::Ok;
}

}  // namespace vrpph

// Splits an expanded registration script into tokens.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "registration/hresults.h"

namespace vrpph {

// A token holds at most this many bytes (a buffer of 4096 with room to spare).
constexpr std::size_t kMaxTokenBytes = 4094;

class ScriptReader {
 public:
  // `script` must outlive the reader; it ends at its first zero byte.
  ScriptReader(const platform::Text& text, std::string_view script);

  // The next token, quotes removed and '' turned into '. DispException at
  // the end of the text, inside an unterminated quote, or for a token longer
  // than kMaxTokenBytes; `token` is then left as it was.
  HResult ReadToken(std::string* token);
  void SkipWhiteSpace();
  [[nodiscard]] bool AtEnd() const { return at_ >= script_.size(); }

  [[nodiscard]] std::size_t Position() const { return at_; }
  void Seek(std::size_t position) { at_ = position < script_.size() ? position : script_.size(); }

 private:
  HResult ReadQuoted(std::string* token);
  HResult ReadPlain(std::string* token);
  [[nodiscard]] std::size_t CharAt(std::size_t at) const;

  const platform::Text& text_;
  std::string_view script_;
  std::size_t at_ = 0;
};

}  // namespace vrpph

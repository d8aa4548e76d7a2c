#include "settings/flags.h"

#include "settings/contact_points.h"

namespace vrpph {

bool IsFlag(const std::optional<std::string>& text, const char* word) { return text && *text == word; }

bool UrlDecodingOn(const std::optional<std::string>& decodeSetting) { return !IsFlag(decodeSetting, values::False); }

}  // namespace vrpph

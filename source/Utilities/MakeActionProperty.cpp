#include "Utilities/MakeActionProperty.h"

#include <limits>

std::optional<HcActionName> ParseActionName(std::string_view text) {
  HcActionName action;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    action.kind = text.front() == '+' ? HcActionName::kInsert : HcActionName::kRemove;
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  uint64_t index = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    index = index * 10 + static_cast<uint64_t>(c - '0');
    if (index > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  }
  action.index = static_cast<uint32_t>(index);
  return action;
}

std::optional<std::string_view> UnbracketActionName(std::string_view text) {
  const size_t open = text.find('[');
  if (open == std::string_view::npos) return text;
  const size_t close = text.find(']', open + 1);
  if (close == std::string_view::npos) return std::nullopt;
  return text.substr(open + 1, close - open - 1);
}

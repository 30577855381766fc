// Placeholder until the replacement template engine lands.
#include "replace/replace_engine.h"

namespace sornik {

std::optional<std::string_view> replace_all(std::string_view, std::string_view) { return std::nullopt; }
void reset_replace_engine() {}

}  // namespace sornik

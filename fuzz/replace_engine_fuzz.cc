// The replacement template engine over a fuzzer-chosen template and subject
// (input: template, section mark, subject). A fatal stop (an illegal "$" in a
// to-part) is a normal outcome. Checked: a second call from a fresh engine
// gives the same result, and templates of plain text pairs give exactly what
// plain left-to-right replacement gives. Each pair works on the text the
// pairs before it left, so a few pairs can grow a text exponentially; such
// templates are passed over.
#include <cstdint>
#include <optional>
#include <string>

#include "common/byte_class.h"
#include "common/fatal.h"
#include "fuzz_support.h"
#include "textual/replace/replace_engine.h"

namespace {

using sornik::fuzzing::require_equal;

struct EngineOutcome {
  std::optional<std::string> result;
  bool stopped = false;
  std::string err;
};

EngineOutcome apply(std::string_view templ, std::string_view subject) {
  sornik::ReplaceEngine engine(sornik::fuzzing::fuzz_options().replace_limits);
  sornik::fuzzing::CapturedErrors errors;
  EngineOutcome outcome;
  try {
    if (const auto result = engine.replace_all(templ, subject)) outcome.result = std::string(*result);
  } catch (const sornik::FatalStop&) {
    outcome.stopped = true;
  }
  outcome.err = errors.text();
  return outcome;
}

// Plain text: no byte that means anything in a pattern or a to-part, and no
// two-byte character.
bool is_plain(std::string_view text) {
  for (const char c : text) {
    if (c == '\\' || c == '$' || c == '?' || c == '(' || sornik::is_lead_byte(c)) {
      return false;
    }
  }
  return true;
}

// What a template of plain pairs does: each pair replaces every occurrence of
// its from-part, left to right without overlap, in the text the pairs before
// it left; nullopt for a pair without a colon or with an empty from-part.
std::optional<std::string> replace_plainly(std::string_view templ, std::string text) {
  if (templ.empty()) return std::nullopt;
  std::size_t start = 0;
  while (start < templ.size()) {
    const std::size_t comma = templ.find(',', start);
    const std::string_view pair =
        templ.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    const std::size_t first_colon = pair.find(':');
    if (first_colon == std::string_view::npos || first_colon == 0) return std::nullopt;
    const std::string_view from = pair.substr(0, first_colon);
    const std::string_view to = pair.substr(pair.rfind(':') + 1);
    std::string replaced;
    std::size_t pos = 0;
    for (std::size_t found; (found = text.find(from, pos)) != std::string::npos; pos = found + from.size()) {
      replaced.append(text, pos, found - pos).append(to);
    }
    text = replaced.append(text, pos);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
    if (start == templ.size()) break;
  }
  return text;
}

std::string shown(const std::optional<std::string>& result) {
  return result ? "result: " + *result : "no result";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto sections = sornik::fuzzing::split_sections(data, size, 2);
  const std::string_view templ = sections[0];
  const std::string_view subject = sections[1];
  if (sornik::fuzzing::template_growth_bound(templ, subject.size()) > sornik::fuzzing::kMostBytes) return -1;

  const EngineOutcome first = apply(templ, subject);
  const EngineOutcome second = apply(templ, subject);
  require_equal("a second call: messages", first.err, second.err);
  require_equal("a second call: fatal stop", first.stopped ? "yes" : "no", second.stopped ? "yes" : "no");
  require_equal("a second call: result", shown(first.result), shown(second.result));

  if (is_plain(templ) && is_plain(subject)) {
    const auto expected = replace_plainly(templ, std::string(subject));
    require_equal("plain pairs: result", shown(expected), shown(first.result));
    // Longer templates are cut in the message.
    if (templ.size() < 700) {
      require_equal("plain pairs: message", expected ? "" : std::string(templ) + ": bad <replace>\n",
                    first.err);
    }
  }
  return 0;
}

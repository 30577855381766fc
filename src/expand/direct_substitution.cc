#include "expand/direct_substitution.h"

#include <array>
#include <functional>
#include <string>

#include "expand/argument_substitution.h"
#include "replace/replace_engine.h"
#include "services/byte_class.h"
#include "services/byte_search.h"

namespace sornik {

namespace {

// Calls with more parameters, or longer lists (where a word could reach the
// engine's cut at 1024 bytes or a template its limit), take the engine.
constexpr std::size_t kMostParams = 16;
constexpr std::size_t kLongestList = 1000;

struct Call {
  std::array<std::string_view, kMostParams> params;
  std::array<std::string_view, kMostParams> args;
  std::size_t count = 0;
};

// A parameter whose pattern is a plain whole word: name bytes, not all of
// them digits (the engine reads "(12)" as a field selector).
bool is_plain_param(std::string_view word) {
  bool digits_only = true;
  for (const char c : word) {
    if (!is_name_byte(c)) return false;
    digits_only = digits_only && c >= '0' && c <= '9';
  }
  return !digits_only;
}

// Whether `arg` is inserted and rescanned by the engine as plain text: no
// byte that its escapes or two-byte characters treat apart, and no word that
// a later parameter would match.
bool is_plain_argument(std::string_view arg, const Call& call) {
  for (const char c : arg) {
    if (c == '\0' || c == '\\' || c == ':' || c == '$' || is_lead_byte(c)) return false;
  }
  for (std::size_t pos = 0; pos < arg.size();) {
    if (!is_name_byte(arg[pos])) {
      ++pos;
      continue;
    }
    std::size_t end = pos;
    while (end < arg.size() && is_name_byte(arg[end])) ++end;
    for (std::size_t i = 0; i < call.count; ++i) {
      if (arg.substr(pos, end - pos) == call.params[i]) return false;
    }
    pos = end;
  }
  return true;
}

// Cuts the lists as convert_str does; false unless both hold the same
// number (at least one) of plain words.
bool cut_call(std::string_view params, std::string_view args, Call& call) {
  if (params.size() > kLongestList || args.size() > kLongestList) return false;
  std::size_t param_pos = 0;
  std::size_t arg_pos = 0;
  while (true) {
    std::string_view param;
    std::string_view arg;
    param_pos = get_csvword(params, param_pos, param);
    arg_pos = get_csvword(args, arg_pos, arg);
    if (param.empty() && arg.empty()) break;
    if (param.empty() || arg.empty() || call.count == kMostParams || !is_plain_param(param)) return false;
    call.params[call.count] = param;
    call.args[call.count] = arg;
    ++call.count;
  }
  if (call.count == 0) return false;
  for (std::size_t i = 0; i < call.count; ++i) {
    if (!is_plain_argument(call.args[i], call)) return false;
  }
  return true;
}

// The parameter whose whole-word pattern matches at `pos` of `body`, as the
// engine tries it there: not after a word byte or a two-byte character, and
// not before a word byte or a byte of 0x80 or above.
int matching_param(std::string_view body, std::size_t pos, bool after_two_byte, const Call& call) {
  if (after_two_byte || (pos > 0 && is_name_byte(body[pos - 1])) || !is_name_byte(body[pos])) return -1;
  std::size_t end = pos;
  while (end < body.size() && is_name_byte(body[end])) ++end;
  if (end < body.size() && static_cast<unsigned char>(body[end]) >= 0x80) return -1;
  const std::string_view word = body.substr(pos, end - pos);
  for (std::size_t i = 0; i < call.count; ++i) {
    if (word == call.params[i]) return static_cast<int>(i);
  }
  return -1;
}

std::string result;

}  // namespace

std::optional<std::string_view> substitute_words(std::string_view params, std::string_view args,
                                                 std::string_view body) {
  // A text that lies in the last result (which this call overwrites) is left to the engine.
  for (const std::string_view text : {params, args, body}) {
    if (!text.empty() && std::less_equal<>()(result.data(), text.data()) &&
        std::less<>()(text.data(), result.data() + result.capacity()))
      return std::nullopt;
  }
  Call call;
  if (!cut_call(params, args, call)) return std::nullopt;
  // The engine's texts after each pair: the body with the first k
  // parameters replaced. Each must stay within its limits.
  std::array<std::size_t, kMostParams> matches{};
  result.clear();
  std::size_t copied = 0;
  bool after_two_byte = false;
  for (std::size_t pos = 0; pos < body.size();) {
    const int param = matching_param(body, pos, after_two_byte, call);
    if (param < 0) {
      after_two_byte = starts_two_byte_char(body, pos);
      pos += after_two_byte ? 2 : 1;
      continue;
    }
    result.append(body, copied, pos - copied);
    result.append(call.args[param]);
    ++matches[param];
    pos += call.params[param].size();
    copied = pos;
    after_two_byte = false;
  }
  result.append(body, copied);
  const ReplaceLimits limits = replace_limits();
  std::size_t size = body.size();
  std::size_t scanned = 0;
  for (std::size_t i = 0; i < call.count; ++i) {
    scanned += size;
    size = size - matches[i] * call.params[i].size() + matches[i] * call.args[i].size();
    if (size > limits.result || scanned > limits.scan) return std::nullopt;
  }
  return result;
}

}  // namespace sornik

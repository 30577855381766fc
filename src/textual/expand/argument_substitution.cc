// The substitution of a call's arguments through a template of the
// replacement engine, and the choice between it and one-pass substitution.
#include "textual/expand/argument_substitution.h"

#include "common/byte_class.h"
#include "common/byte_search.h"

namespace sornik {

namespace {

// A template whose counted length reaches this is refused.
constexpr std::size_t kTemplateLimit = 4096;

// Appends `argument` so that the engine inserts it byte for byte: every
// colon, comma, backslash and dollar sign gets a backslash, and so does a
// lead byte that ends the argument (it would join the comma after it).
void append_template_literal(std::string& out, std::string_view argument) {
  std::size_t pos = 0;
  while (pos < argument.size()) {
    if (starts_two_byte_char(argument, pos)) {
      out.append(argument.substr(pos, 2));
      pos += 2;
      continue;
    }
    const char c = argument[pos];
    const bool last_lead = pos + 1 == argument.size() && is_lead_byte(c);
    if (c == ':' || c == ',' || c == '\\' || c == '$' || last_lead) out.push_back('\\');
    out.push_back(c);
    ++pos;
  }
}

}  // namespace

std::optional<std::string_view> ArgumentSubstitution::convert_str(int flag, std::string_view params,
                                                                  std::string_view args,
                                                                  std::string_view body) {
  if (flag != 0) {
    if (const std::optional<std::string_view> direct = substitute_words(params, args, body)) return direct;
  }
  return convert_str_by_template(flag, params, args, body);
}

std::optional<std::string_view> ArgumentSubstitution::convert_str_by_template(int flag,
                                                                              std::string_view params,
                                                                              std::string_view args,
                                                                              std::string_view body) {
  template_buffer_.clear();
  // The limit counts each argument as written, without its escapes.
  std::size_t counted = 0;
  std::size_t param_pos = 0;
  std::size_t arg_pos = 0;
  while (true) {
    std::string_view param;
    param_pos = get_csvword(params, param_pos, param);
    if (param.size() + counted >= kTemplateLimit) return std::nullopt;
    std::string_view arg;
    arg_pos = get_csvword(args, arg_pos, arg);
    if (param.empty() && arg.empty()) break;
    if (param.empty() || arg.empty()) return std::nullopt;

    if (flag != 0) template_buffer_.push_back('(');
    template_buffer_.append(param);
    if (flag != 0) template_buffer_.push_back(')');
    counted += param.size() + (flag != 0 ? 2 : 0);

    if (arg.size() + counted >= kTemplateLimit) return std::nullopt;
    template_buffer_.push_back(':');
    append_template_literal(template_buffer_, arg);
    template_buffer_.push_back(',');
    counted += arg.size() + 2;
  }
  return engine_.replace_all(template_buffer_, body);
}

}  // namespace sornik

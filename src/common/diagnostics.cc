// Diagnostics of the run: errmsg's printf-like format over bytes, written to
// the error stream.
#include "common/diagnostics.h"

#include <cstdio>

#include "common/byte_search.h"
#include "common/run_io.h"

namespace sornik {

namespace {

constexpr std::size_t kOutputLimit = 1024;
constexpr std::size_t kReservedAfterText = 256;

thread_local std::string formatted;

template <typename T>
T value_or(const ErrArg* arg, T fallback) {
  if (arg == nullptr) return fallback;
  if (const T* value = std::get_if<T>(arg)) return *value;
  return fallback;
}

void append_printf(const char* conversion, auto value) {
  char text[512];
  const int length = std::snprintf(text, sizeof text, conversion, value);
  if (length > 0) formatted.append(text, std::min<std::size_t>(length, sizeof text - 1));
}

// A "%s" text is copied whole only when 256 bytes stay free after it.
void append_text(std::string_view text) {
  const std::size_t room = formatted.size() + kReservedAfterText < kOutputLimit
                               ? kOutputLimit - kReservedAfterText - formatted.size()
                               : 0;
  formatted.append(text.substr(0, room));
}

}  // namespace

std::string_view err_edit(std::string_view format, std::span<const ErrArg> args) {
  formatted.clear();
  std::size_t next_arg = 0;
  auto take_arg = [&]() -> const ErrArg* {
    return next_arg < args.size() ? &args[next_arg++] : nullptr;
  };
  for (std::size_t pos = 0; pos < format.size() && formatted.size() < kOutputLimit; ++pos) {
    const char c = format[pos];
    if (c == '\\' && pos + 1 < format.size() && format[pos + 1] != '\0') {
      formatted.push_back(format[++pos]);
    } else if (c != '%') {
      formatted.push_back(c);
    } else if (pos + 1 == format.size()) {
      formatted.push_back('%');
    } else {
      switch (format[++pos]) {
        case 'c': formatted.push_back(static_cast<char>(value_or(take_arg(), 0))); break;
        case 'd': append_printf("%d", value_or(take_arg(), 0)); break;
        case 'x': append_printf("%x", static_cast<unsigned>(value_or(take_arg(), 0))); break;
        case 'f': append_printf("%f", value_or(take_arg(), 0.0)); break;
        case 's': append_text(value_or(take_arg(), std::string_view{})); break;
        default: formatted.push_back('%'); formatted.push_back(format[pos]);
      }
    }
  }
  return formatted;
}

void errmsg_args(std::string_view format, std::span<const ErrArg> args) {
  err_write(Strchr(format, '%') == std::string_view::npos ? format : err_edit(format, args));
}

}  // namespace sornik

// What the built-in macros that change as files are read expand to: the
// presumed file and line (#line), the include level, the base file,
// __COUNTER__, and the date and time of the run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sornik::cmode {

class BuiltinState {
 public:
  // A translation unit begins: __COUNTER__ starts again from 0.
  void begin_unit() { counter_ = 0; }

  // A file is entered or left. `path` is the name it was opened by,
  // `presumed` the name __FILE__ gives until a #line changes it; the first
  // file entered while none is open is the base file, by that name.
  void enter_file(std::string_view path, std::string_view presumed);
  void leave_file();

  // #line: the physical line `next_physical` is line `line` from now on,
  // and, unless `file` is null, the file is named `*file`.
  void set_line(std::uint32_t next_physical, std::uint32_t line, const std::string* file);

  // A line marker's flag 1: the text that follows stands for a file that
  // the current presumed file includes (a #line-like change follows).
  void enter_by_marker();
  // A line marker's flag 2, back to the presumed file `file` ("" for the
  // one that was left): false when no marker entered a file, or `file`
  // names another one than that (the marker is then ignored). `file` is
  // set to the name.
  bool leave_by_marker(std::string& file);

  // What __LINE__ gives on a physical line of the current file; lines count
  // modulo 2^32, as the C compiler counts them after a #line near the top.
  std::uint32_t presumed_line(std::uint32_t physical) const;

  // The name __FILE__ gives, "" when no file is open (and after #line N "").
  std::string_view presumed_file() const;
  bool in_file() const { return !places_.empty(); }
  // The file as the command line named it.
  std::string_view base_file() const { return base_file_; }
  // 0 in a source file, one more for each #include and each file that a
  // line marker entered.
  std::size_t include_level() const;
  // The value of __COUNTER__ for its next use.
  std::uint64_t next_counter() { return counter_++; }

  // "Mmm dd yyyy" and "hh:mm:ss" as string literals: the time the run first
  // asks, or SOURCE_DATE_EPOCH's (in UTC) when it is set; `error` tells when
  // that variable holds no valid time (the current time is taken then).
  std::string_view date(std::string& error) { return date_and_time(error), date_; }
  std::string_view time(std::string& error) { return date_and_time(error), time_; }

  // The time the current file was last changed, as a string literal
  // ("Sun Sep 16 01:03:52 1973"), or "??? ??? ?? ??:??:?? ????" when it is unknown.
  std::string timestamp() const;

 private:
  struct Place {
    std::string path;          // as opened
    std::string presumed;      // as __FILE__ names it
    std::uint32_t offset = 0;  // presumed line minus physical line, modulo 2^32
    // The presumed names that line markers entering a file left, innermost last.
    std::vector<std::string> left_by_markers;
  };

  void date_and_time(std::string& error);

  std::vector<Place> places_;
  std::string base_file_;
  std::uint64_t counter_ = 0;
  std::string date_;
  std::string time_;
};

// The name `name` as a C string literal: quotes around it, and a backslash
// before every quote and backslash in it.
std::string quoted_file_name(std::string_view name);

// The last part of a path, after its last '/'.
std::string_view file_name_part(std::string_view path);

}  // namespace sornik::cmode

// The include search: its directories and the headers read from them.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cmode/lex/dialect.h"
#include "cmode/lex/logical_lines.h"
#include "common/page_memory.h"

namespace sornik::cmode {

// A header file as the include search knows it. Its text is read when it is
// first asked for and shared by every translation unit; once read, a header
// its guard shuts gives its text back and is read again if it is needed.
struct HeaderFile {
  std::string path;       // as the search built it: directory, "/", name
  std::string_view text;  // in `bytes`
  PageArray<char> bytes;
  bool readable = false;
  // Why it could not be read (an errno value), when it was not.
  int error = 0;
  bool text_dropped = false;
  // The readings of its text under way: a header may include itself.
  int readings = 0;
  // The macro of the include guard around all of its text, once a reading
  // has shown one: the file adds nothing while that macro is defined.
  std::string guard;
  // Its index among the macro table's definition files, read as another
  // file ([0]) and as a system header ([1]); 0 until entered.
  std::uint32_t definition_file[2] = {0, 0};
  // The logical lines of `text` as the first whole reading in `lines_dialect`
  // found them, so that later readings (mostly of later units) do not scan
  // the bytes again; none while `lines_dialect` is null. Dropped with the text.
  std::vector<LogicalLine> lines;
  const Dialect* lines_dialect = nullptr;
  // Whether `text` spells __COUNTER__ anywhere (its code must then be
  // expanded for the counter to move as the compiler's does), once searched.
  bool counter_searched = false;
  bool spells_counter = false;
};

// Where a header was found.
struct FoundHeader {
  HeaderFile* file = nullptr;
  // Index of the directory in the search chain, or -1 when the file was
  // found beside its includer or by an absolute name.
  int chain_index = -1;
  // Found in a system directory: the compiler's own, -isystem, -idirafter.
  bool system = false;
  // Why no file was found (an errno value): ENOENT, or the reason a file
  // that exists could not be read, which ends the search as it does for the
  // C compiler.
  int error = 0;
};

// What a directory of the search chain serves.
enum class SearchDirKind : std::uint8_t {
  quote,    // #include "..." only (-iquote)
  bracket,  // every #include (-I)
  system,   // every #include, and its headers are system headers
};

// The directories #include searches, and the files read from them.
class IncludeSearch {
 public:
  // Appends a directory to the chain, the quote directories first. A
  // directory already in the chain is ignored, unless it comes again as a
  // system directory: it then moves here, as a system directory.
  void add_directory(std::string_view dir, SearchDirKind kind = SearchDirKind::bracket);

  // Where the search of an #include <...> begins in the chain.
  std::size_t bracket_start() const { return quote_dirs_; }

  // Finds `name`: a quoted name first beside the includer (in
  // `includer_dir`), then in the chain from index `start` on.
  FoundHeader find(std::string_view name, bool quoted, std::string_view includer_dir, std::size_t start);

  // The file at `path` as given (a -d header or a source); null when it
  // cannot be read.
  HeaderFile* open(const std::string& path);

  // The entry of the file at `path`, made without reading it, for a -d
  // header that is read as a stream: an #include of it later reads its text.
  HeaderFile& enter_unread(const std::string& path);

  // Gives back the text of a header that is not expected to be read again:
  // the memory then serves the next header (fewer fresh pages).
  static void drop_text(HeaderFile& file);
  // Reads a dropped text again; false when the file can no longer be read.
  static bool restore_text(HeaderFile& file);

  // Whether an errno value of a failed open means that no file of that name
  // is there (a directory or a path through a file is none either): the
  // search goes on.
  static bool means_absent(int error) { return error == ENOENT || error == ENOTDIR || error == EISDIR; }

  // The directory part of a path ("" for a bare name), as the directory for
  // quoted includes.
  static std::string_view directory_of(std::string_view path);

 private:
  // False when `name` lies in a subdirectory that `dir` does not have: most
  // system directories lack most of the subdirectories headers name, and a
  // failed open costs a system call each time.
  bool may_hold(std::string_view dir, std::string_view name);
  // The entry of the file at `path`, read when it is new.
  HeaderFile& entry(const std::string& path);
  // What find answers when it is not asked the same question again.
  FoundHeader search(std::string_view name, bool quoted, std::string_view includer_dir, std::size_t start);

  // A string map searched with string views.
  struct KeyHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
  };

  struct SearchDir {
    std::string path;
    SearchDirKind kind;
  };
  std::vector<SearchDir> chain_;
  std::size_t quote_dirs_ = 0;
  // The answer to each question find was asked: a header set includes most
  // of its headers again and again, and each search builds and looks up a
  // path for every directory it tries. The key holds every argument (see
  // find); `key_` keeps its memory from one question to the next.
  std::unordered_map<std::string, FoundHeader, KeyHash, std::equal_to<>> answers_;
  std::string key_;
  // Every path tried, readable or not, so that each is opened only once.
  std::unordered_map<std::string, std::unique_ptr<HeaderFile>> files_;
  // Whether each subdirectory asked about exists.
  std::unordered_map<std::string, bool> subdirectories_;
  // The path being tried; its memory serves every search.
  std::string path_;
};

}  // namespace sornik::cmode

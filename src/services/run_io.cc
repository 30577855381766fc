#include "services/run_io.h"

#include <sys/stat.h>

#include "services/diagnostics.h"
#include "services/fatal.h"

namespace sornik {

namespace {

constexpr std::size_t kOutputBlock = 1 << 16;

std::string output_buffer;
bool any_read_failed = false;

}  // namespace

RunIo& run_io() {
  static RunIo io{stdout, stderr, open_file_for_reading};
  return io;
}

void out_write(std::string_view text) {
  if (output_buffer.capacity() < kOutputBlock) output_buffer.reserve(kOutputBlock);
  output_buffer.append(text);
  if (output_buffer.size() >= kOutputBlock) out_flush();
}

void out_flush() {
  const bool written = output_buffer.empty() || (std::fwrite(output_buffer.data(), 1, output_buffer.size(),
                                                             run_io().out) == output_buffer.size() &&
                                                 std::fflush(run_io().out) == 0);
  output_buffer.clear();
  if (!written) {
    errmsg("cannot write to standard output\n");
    fatal_stop();
  }
}

void out_discard() { output_buffer.clear(); }

void err_write(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), run_io().err);
  std::fflush(run_io().err);
}

void check_read_error(std::FILE* file, const std::string& name) {
  if (std::ferror(file) == 0) return;
  errmsg("%s: read error\n", name);
  any_read_failed = true;
}

bool read_failed() { return any_read_failed; }

void reset_read_errors() { any_read_failed = false; }

InputFile open_input(const std::string& name) { return InputFile(run_io().open_input(name)); }

std::FILE* open_file_for_reading(const std::string& name) {
  InputFile file(std::fopen(name.c_str(), "r"));
  if (file == nullptr) return nullptr;
  struct stat info {};
  if (fstat(fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode)) return nullptr;
  return file.release();
}

}  // namespace sornik

#include "services/run_io.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "services/diagnostics.h"
#include "services/fatal.h"

namespace sornik {

namespace {

constexpr std::size_t kOutputBlock = 1 << 16;

std::string output_buffer;
bool any_read_failed = false;

}  // namespace

RunIo& run_io() {
  static RunIo io{stdout, stderr, open_file_for_reading, path_is_directory};
  return io;
}

namespace {

// Writes `text` to the output stream at once: with one write call when the
// stream has a file descriptor (fwrite would first fill its small buffer).
bool write_out(std::string_view text) {
  std::FILE* out = run_io().out;
  const int descriptor = fileno(out);
  if (descriptor < 0)
    return std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
  if (std::fflush(out) != 0) return false;
  while (!text.empty()) {
    const ssize_t written = write(descriptor, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

void stop_unless_written(bool written) {
  if (written) return;
  errmsg("cannot write to standard output\n");
  fatal_stop();
}

}  // namespace

void out_write(std::string_view text) {
  // A text as large as half the buffer is written from where it lies.
  if (text.size() >= kOutputBlock / 2) {
    out_flush();
    stop_unless_written(write_out(text));
    return;
  }
  if (output_buffer.capacity() < kOutputBlock) output_buffer.reserve(kOutputBlock);
  output_buffer.append(text);
  if (output_buffer.size() >= kOutputBlock) out_flush();
}

void out_flush() {
  const bool written = output_buffer.empty() || write_out(output_buffer);
  output_buffer.clear();
  stop_unless_written(written);
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

namespace {

// fopen, refusing a directory; the size of a regular file goes to
// `regular_size` when asked for.
std::FILE* open_checked(const std::string& name, std::size_t* regular_size) {
  InputFile file(std::fopen(name.c_str(), "r"));
  if (file == nullptr) return nullptr;
  struct stat info {};
  if (fstat(fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode)) return nullptr;
  if (regular_size != nullptr && S_ISREG(info.st_mode))
    *regular_size = static_cast<std::size_t>(info.st_size);
  return file.release();
}

}  // namespace

InputFile open_input(const std::string& name, std::size_t& regular_size) {
  regular_size = 0;
  using Opener = std::FILE* (*)(const std::string&);
  const Opener* opener = run_io().open_input.target<Opener>();
  if (opener != nullptr && *opener == &open_file_for_reading)
    return InputFile(open_checked(name, &regular_size));
  InputFile file = open_input(name);
  struct stat info {};
  if (file != nullptr && fileno(file.get()) >= 0 && fstat(fileno(file.get()), &info) == 0 &&
      S_ISREG(info.st_mode)) {
    regular_size = static_cast<std::size_t>(info.st_size);
  }
  return file;
}

std::FILE* open_file_for_reading(const std::string& name) { return open_checked(name, nullptr); }

bool path_is_directory(const std::string& name) {
  struct stat info {};
  return stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace sornik

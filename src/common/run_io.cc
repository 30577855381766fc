// The streams of a run (standard streams or memory), its 64 KB output
// buffer and the read-error state of its input files.
#include "common/run_io.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "common/diagnostics.h"
#include "common/fatal.h"

namespace sornik {

namespace {

constexpr std::size_t kOutputBlock = 1 << 16;

thread_local std::string output_buffer;
thread_local bool any_read_failed = false;
thread_local CapturedOutput* captured = nullptr;

}  // namespace

RunIo& run_io() {
  static RunIo io{stdout, stderr, open_file_for_reading, path_is_directory, stdin};
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

CapturedOutput* capture_output(CapturedOutput* capture) { return std::exchange(captured, capture); }

void out_write(std::string_view text) {
  if (captured != nullptr) {
    captured->out.append(text);
    return;
  }
  // A text as large as half the buffer is written from where it lies.
  if (text.size() >= kOutputBlock / 2) {
    out_flush();
    stop_unless_written(write_out(text));
    return;
  }
  // One look-up of the thread's buffer: each use of a thread_local with a
  // destructor goes through its initialisation check.
  std::string& buffer = output_buffer;
  if (buffer.capacity() < kOutputBlock) buffer.reserve(kOutputBlock);
  buffer.append(text);
  if (buffer.size() >= kOutputBlock) out_flush();
}

void out_flush() {
  const bool written = output_buffer.empty() || write_out(output_buffer);
  output_buffer.clear();
  stop_unless_written(written);
}

void out_discard() { output_buffer.clear(); }

void err_write(std::string_view text) {
  if (captured != nullptr) {
    captured->err.append(text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), run_io().err);
  std::fflush(run_io().err);
}

namespace {

void report_read_error(const std::string& name) {
  errmsg("%s: read error\n", name);
  any_read_failed = true;
}

}  // namespace

void check_read_error(std::FILE* file, const std::string& name) {
  if (std::ferror(file) != 0) report_read_error(name);
}

bool read_failed() { return any_read_failed; }

void reset_read_errors() { any_read_failed = false; }

InputFile open_input(const std::string& name) {
  errno = 0;
  InputFile file(run_io().open_input(name));
  if (file == nullptr && errno == 0) errno = ENOENT;
  return file;
}

namespace {

// fopen, refusing a directory; the size of a regular file goes to
// `regular_size` when asked for.
std::FILE* open_checked(const std::string& name, std::size_t* regular_size) {
  InputFile file(std::fopen(name.c_str(), "r"));
  if (file == nullptr) return nullptr;
  struct stat info {};
  if (fstat(fileno(file.get()), &info) != 0) return nullptr;
  if (S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return nullptr;
  }
  if (regular_size != nullptr && S_ISREG(info.st_mode))
    *regular_size = static_cast<std::size_t>(info.st_size);
  return file.release();
}

// Whether run_io() opens files with the default opener, not one of a test
// or a fuzzer.
bool opens_the_file_system() {
  using Opener = std::FILE* (*)(const std::string&);
  const Opener* opener = run_io().open_input.target<Opener>();
  return opener != nullptr && *opener == &open_file_for_reading;
}

}  // namespace

InputFile open_input(const std::string& name, std::size_t& regular_size) {
  regular_size = 0;
  if (opens_the_file_system()) {
    errno = 0;
    return InputFile(open_checked(name, &regular_size));
  }
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

namespace {

// Fills `bytes` from `read` (bytes given into a room, 0 at the end): up to
// `known_size` when that is not 0, else until the end, doubling the room.
template <typename Read>
std::size_t read_all(Read read, std::size_t known_size, PageArray<char>& bytes) {
  bytes = PageArray<char>::unfilled(known_size != 0 ? known_size : std::size_t{1} << 16);
  std::size_t size = 0;
  while (known_size == 0 || size < known_size) {
    if (size == bytes.size()) bytes.resize(bytes.size() * 2, size);
    const std::size_t got = read(bytes.data() + size, bytes.size() - size);
    if (got == 0) break;
    size += got;
  }
  return size;
}

}  // namespace

bool read_whole_input(const std::string& name, PageArray<char>& bytes, std::size_t& size) {
  // What fopen and a stream would add is a heap block and a few hundred
  // instructions for each of the many headers a run reads. The files of a
  // test or a fuzzer are read through the descriptor of the stream their
  // opener gives, by the same code.
  int fd = -1;
  if (opens_the_file_system()) {
    fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  } else if (const InputFile file = open_input(name); file != nullptr && fileno(file.get()) >= 0) {
    fd = ::dup(fileno(file.get()));
  }
  if (fd < 0) return false;
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    if (S_ISDIR(info.st_mode)) errno = EISDIR;
    ::close(fd);
    return false;
  }
  bool failed = false;
  const auto read_some = [&](char* into, std::size_t room) -> std::size_t {
    for (;;) {
      const ssize_t got = ::read(fd, into, room);
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno != EINTR) {
        failed = true;
        return 0;
      }
    }
  };
  size = read_all(read_some, S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0, bytes);
  ::close(fd);
  if (failed) report_read_error(name);
  return true;
}

}  // namespace sornik

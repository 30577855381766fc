#include "captured_io.h"

#include <chrono>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

#include "app/run.h"

namespace sornik::testing {

MemoryStream::MemoryStream() : stream_(open_memstream(&buffer_, &size_)) {
  if (stream_ == nullptr) std::abort();
}

MemoryStream::~MemoryStream() {
  std::fclose(stream_);
  std::free(buffer_);
}

std::string MemoryStream::text() {
  std::fflush(stream_);
  return std::string(buffer_, size_);
}

std::FILE* memory_file(std::string_view text) {
  const int fd = memfd_create("sornik-test-file", MFD_CLOEXEC);
  if (fd < 0) std::abort();
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote <= 0) std::abort();
    done += static_cast<std::size_t>(wrote);
  }
  std::FILE* file = lseek(fd, 0, SEEK_SET) == 0 ? fdopen(fd, "r") : nullptr;
  if (file == nullptr) std::abort();
  return file;
}

CapturedIo::CapturedIo() : saved_(run_io()) {
  run_io().out = out_.stream();
  run_io().err = err_.stream();
  run_io().open_input = [this](const std::string& name) -> std::FILE* {
    const auto found = files.find(name);
    if (found == files.end()) return nullptr;
    return memory_file(found->second);
  };
  run_io().is_directory = [this](const std::string& name) {
    const std::string prefix = name + "/";
    const auto next = files.lower_bound(prefix);
    return next != files.end() && next->first.compare(0, prefix.size(), prefix) == 0;
  };
}

CapturedIo::~CapturedIo() { run_io() = saved_; }

bool RunResult::out_of_memory() const {
  return err.find("cannot get memory\n") != std::string::npos ||
         err.find("cannot get the memory of ") != std::string::npos;
}

RunResult run_in_memory(const std::vector<std::string>& args, const std::map<std::string, std::string>& files,
                        const TextualOptions& options) {
  CapturedIo io;
  io.files = files;
  RunResult result;
  const auto start = std::chrono::steady_clock::now();
  result.status = run_sornik(args, options);
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.out = io.out();
  result.err = io.err();
  return result;
}

}  // namespace sornik::testing

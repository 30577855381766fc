#include "scan/line_reader.h"

#include <cstring>

#include "services/diagnostics.h"
#include "services/fatal.h"

namespace sornik {

namespace {
constexpr std::size_t kBlockSize = 1 << 16;
// Lines are read as fgets reads them into a buffer of 1024 bytes.
constexpr std::size_t kLongestRead = 1023;
}  // namespace

LineReader::LineReader(std::FILE* stream)
    : stream_(stream), block_(std::make_unique_for_overwrite<char[]>(kBlockSize)) {}

bool LineReader::refill() {
  if (exhausted_) return false;
  end_ = std::fread(block_.get(), 1, kBlockSize, stream_);
  pos_ = 0;
  if (end_ < kBlockSize) exhausted_ = true;
  return end_ > 0;
}

bool LineReader::read_line(std::string& line) {
  if (pos_ == end_ && !refill()) return false;
  line.clear();
  while (line.size() < kLongestRead) {
    if (pos_ == end_ && !refill()) break;
    const std::size_t wanted = std::min(end_ - pos_, kLongestRead - line.size());
    const char* start = block_.get() + pos_;
    const void* newline = std::memchr(start, '\n', wanted);
    const std::size_t taken = newline ? static_cast<const char*>(newline) - start + 1 : wanted;
    line.append(start, taken);
    pos_ += taken;
    if (newline) break;
  }
  return true;
}

bool LineReader::read_checked_line(std::string& line) {
  if (!read_line(line)) return false;
  if (line.size() >= kLongestRead) {
    errmsg("%s \nError: too long line found\n", line);
    fatal_stop();
  }
  return true;
}

}  // namespace sornik

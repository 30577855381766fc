// LineReader: the physical lines of a source or definition file, read a
// block at a time.
#include "textual/scan/line_reader.h"

#include <cstring>

#include "common/diagnostics.h"
#include "common/fatal.h"

namespace sornik {

namespace {
constexpr std::size_t kBlockSize = 1 << 16;
// Lines are read as fgets reads them into a buffer of 1024 bytes.
constexpr std::size_t kLongestRead = 1023;
}  // namespace

LineReader::LineReader(std::FILE* stream, LineEnds line_ends)
    : stream_(stream),
      drop_cr_(line_ends == LineEnds::kCrLfAsLf),
      block_(std::make_unique_for_overwrite<char[]>(kBlockSize)) {}

bool LineReader::refill() {
  read_more();
  return pos_ != end_;
}

bool LineReader::read_more() {
  if (exhausted_ || end_ - pos_ >= kBlockSize / 2) return false;
  char* block = block_.get();
  std::memmove(block, block + pos_, end_ - pos_);
  end_ -= pos_;
  pos_ = 0;
  const std::size_t fresh = end_;
  if (held_cr_) block[end_++] = '\r';
  held_cr_ = false;
  const std::size_t wanted = kBlockSize - end_;
  const std::size_t got = std::fread(block + end_, 1, wanted, stream_);
  end_ += got;
  if (got < wanted) exhausted_ = true;
  if (drop_cr_) drop_cr_before_newlines(fresh);
  return got > 0;
}

void LineReader::drop_cr_before_newlines(std::size_t from) {
  char* block = block_.get();
  std::size_t kept = from;
  while (from < end_) {
    const void* cr = std::memchr(block + from, '\r', end_ - from);
    const std::size_t upto = cr ? static_cast<const char*>(cr) - block : end_;
    std::memmove(block + kept, block + from, upto - from);
    kept += upto - from;
    from = upto;
    if (from == end_) break;
    if (from + 1 == end_ && !exhausted_) {
      held_cr_ = true;
    } else if (from + 1 == end_ || block[from + 1] != '\n') {
      block[kept++] = '\r';
    }
    ++from;
  }
  end_ = kept;
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

std::string_view LineReader::unread() {
  if (pos_ == end_ && !refill()) return {};
  return {block_.get() + pos_, end_ - pos_};
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

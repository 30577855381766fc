// Reading a source file in chunks from its stream, acting on each directive as its chunk is handed
// out.
#include "cmode/pp/file_chunk_reader.h"

#include <algorithm>
#include <cstring>

#include "cmode/lex/dialect.h"
#include "cmode/lex/logical_lines.h"

namespace sornik::cmode {

namespace {

constexpr std::size_t kReadBlock = 1 << 16;
// A chunk of text lines ends at the first line end after this many bytes.
constexpr std::size_t kChunkSize = 1 << 16;

}  // namespace

FileChunkReader::FileChunkReader(std::FILE* stream, Preprocessor& preprocessor, FileFrame& frame)
    : stream_(stream), preprocessor_(preprocessor), frame_(frame), lines_(!frame.system_header) {
  // The reads are large: a stream buffer would only add a copy.
  std::setvbuf(stream_, nullptr, _IONBF, 0);
}

bool FileChunkReader::refill() {
  if (at_eof_) return false;
  size_ -= pos_;
  if (size_ != 0) std::memmove(buffer_.data(), buffer_.data() + pos_, size_);
  pos_ = 0;
  if (buffer_.size() - size_ < kReadBlock) {
    PageArray<char> larger = PageArray<char>::unfilled(std::max(2 * buffer_.size(), size_ + kReadBlock));
    if (size_ != 0) std::memcpy(larger.data(), buffer_.data(), size_);
    buffer_ = std::move(larger);
  }
  const std::size_t got = std::fread(buffer_.data() + size_, 1, buffer_.size() - size_, stream_);
  size_ += got;
  frame_.text_in_hand = {buffer_.data(), size_};
  lines_.restart();
  if (got == 0) at_eof_ = true;
  return got != 0;
}

bool FileChunkReader::next(SourceChunk& chunk) {
  if (!started_) {
    started_ = true;
    refill();
    // The compiler reads a file from after its byte order mark; the listing
    // keeps the mark, as bytes of no line, copied as they stand.
    if (const std::size_t mark = byte_order_mark_length({buffer_.data(), size_}); mark != 0) {
      chunk = {std::string_view(buffer_.data(), mark), false, frame_.line};
      pos_ = mark;
      return true;
    }
  }
  const std::uint32_t first_line = frame_.line;
  std::size_t end = pos_;
  bool have_kind = false;
  bool is_text = false;
  for (;;) {
    const std::string_view text(buffer_.data(), size_);
    const LogicalLine line_end = lines_.scan(text, end);
    if (!line_end.complete && !at_eof_) {
      // The line goes on past the bytes read: hand out what is complete
      // first, then read on with the line at the front.
      if (end != pos_) break;
      refill();
      end = pos_;
      continue;
    }
    if (end == line_end.end) break;  // the end of the file
    const bool directive = line_end.kind == LineKind::directive;
    // A directive acts on the table, so text before it goes out first.
    const bool line_is_text = !directive && !preprocessor_.skipping();
    if (have_kind && (directive ? is_text : line_is_text != is_text)) break;
    preprocessor_.take_line(frame_, text.substr(end, line_end.end - end), line_end);
    have_kind = true;
    is_text = line_is_text;
    end = line_end.end;
    if (end - pos_ >= kChunkSize) break;
  }
  if (end == pos_) return false;
  chunk.bytes = std::string_view(buffer_.data() + pos_, end - pos_);
  chunk.is_text = is_text;
  chunk.first_line = first_line;
  // The line marked may be the one after the chunk, which broke it off:
  // then the chunk's lines are read the slower way, to the same ends.
  chunk.trigraphs = lexing_dialect().trigraphs && lines_.marked_after(pos_);
  pos_ = end;
  return true;
}

}  // namespace sornik::cmode

// The reader of a source file's chunks, which has the preprocessor act on its directives.
#pragma once

#include <cstdio>

#include "cmode/lex/trigraphs.h"
#include "cmode/listing/expander.h"
#include "cmode/pp/preprocessor.h"
#include "common/page_memory.h"

namespace sornik::cmode {

// The chunks of a source file read from a stream, its directives acted on
// as their chunk is handed out. Only the lines of the current chunk are held,
// so memory does not grow with the size of the file.
class FileChunkReader final : public ChunkSource {
 public:
  // Reads `stream` as the file `frame` describes; the frame must have been
  // begun with the preprocessor and stay alive while the chunks are read.
  FileChunkReader(std::FILE* stream, Preprocessor& preprocessor, FileFrame& frame);

  bool next(SourceChunk& chunk) override;

 private:
  // Reads more of the stream after the unread bytes, which move to the
  // front; false at the end of the stream.
  bool refill();

  std::FILE* stream_;
  Preprocessor& preprocessor_;
  FileFrame& frame_;
  // Only the bytes read are ever written: a small file touches few pages.
  PageArray<char> buffer_;
  std::size_t size_ = 0;  // the bytes read into the buffer
  std::size_t pos_ = 0;   // the first byte not yet handed out
  bool at_eof_ = false;
  bool started_ = false;  // the file's first bytes have been read
  TrigraphLineScan lines_;
};

}  // namespace sornik::cmode

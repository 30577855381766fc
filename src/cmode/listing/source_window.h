// The source window, the rescanner's view of the source text from a use on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cmode/expand/rescanner.h"
#include "cmode/lex/token.h"
#include "cmode/listing/line_feeder.h"

namespace sornik::cmode {

// The source text from the start of a line that holds a use to wherever the
// uses that begin in it end: its bytes, and the tokens of its lines of code.
// When an argument list goes on past the lines read so far, further pieces
// are read in; a directive or skipped piece among them is kept as bytes.
class SourceWindow final : public SourceTokens {
 public:
  // `reading` is active while a piece is fetched for an argument list.
  SourceWindow(LineFeeder& feeder, Rescanner& rescanner, ArgumentReading& reading)
      : feeder_(feeder), rescanner_(rescanner), reading_(reading) {}

  // Starts a new window on a piece of code (the previous window is done).
  void start(const SourceChunk& piece);

  const ExpToken* at(std::size_t index, bool through_directives) override;
  bool take_list_end(std::string_view& file, std::uint32_t& line) override;

  // The tokens read so far, and the window's bytes.
  std::size_t size() const { return tokens_.size(); }
  const ExpToken& token(std::size_t index) const { return tokens_[index]; }
  std::string_view bytes() const { return copied_ ? std::string_view(bytes_) : first_; }

 private:
  void add_code(const SourceChunk& piece, std::uint32_t base);
  bool fetch(bool for_arguments);

  LineFeeder& feeder_;
  Rescanner& rescanner_;
  ArgumentReading& reading_;
  // The token before which a header read among an argument list's lines
  // ended that list (npos: none), and that header's name and last line.
  std::size_t list_end_ = std::string::npos;
  std::string list_end_file_;
  std::uint32_t list_end_line_ = 0;
  Lexer lexer_;
  std::vector<Token> lexed_;
  std::vector<ExpToken> tokens_;
  // Token indices before which a directive or skipped piece stands.
  std::vector<std::size_t> after_directive_;
  std::string_view first_;  // the first piece in place, until a second one comes
  std::string bytes_;       // all pieces, once there is more than one
  bool copied_ = false;
  bool ended_ = false;
};

}  // namespace sornik::cmode

#include "cmode/expander.h"

#include "services/run_io.h"

namespace sornik::cmode {

// Until the expander is built, every chunk is copied as it stands.
Expander::Expander(const MacroTable& table) : table_(table) { (void)table_; }

void Expander::expand_file(ChunkSource& source, std::string_view /*file*/) {
  SourceChunk chunk;
  while (source.next(chunk)) out_write(chunk.bytes);
}

void Expander::expand_directive(std::span<const Token> in, bool /*in_condition*/, SourcePlace /*place*/,
                                std::vector<Token>& out) {
  out.assign(in.begin(), in.end());
}

}  // namespace sornik::cmode

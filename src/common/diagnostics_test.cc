// Tests of diagnostics of the run: errmsg's printf-like format over bytes, written to
// the error stream.
#include "common/diagnostics.h"

#include <gtest/gtest.h>

#include "captured_io.h"

namespace sornik {
namespace {

std::string edit(std::string_view format, std::initializer_list<ErrArg> args) {
  return std::string(err_edit(format, std::span<const ErrArg>(args.begin(), args.size())));
}

TEST(ErrEdit, ConversionsAndEscapes) {
  EXPECT_EQ(edit("%c|%d|%x|%f|%s", {'A', -42, 255, 1.5, "text"}), "A|-42|ff|1.500000|text");
  EXPECT_EQ(edit("a\\%d\\", {7}), "a%d\\");
  EXPECT_EQ(edit("%%|%q|%5d", {1}), "%%|%q|%5d");
  EXPECT_EQ(edit("end %", {}), "end %");
}

TEST(ErrEdit, LongTextLeaves256BytesForWhatFollows) {
  const std::string long_text(2000, 'y');
  const std::string result = edit("%s tail\n", {long_text});
  EXPECT_EQ(result, std::string(768, 'y') + " tail\n");

  const std::string line(1023, 'z');
  EXPECT_EQ(edit("%s \nError: too long line found\n", {line}),
            std::string(768, 'z') + " \nError: too long line found\n");
}

TEST(ErrEdit, StopsNearTheLimitAndCutsLaterTexts) {
  const std::string filler(1000, 'f');
  // Past 768 bytes no text fits; a number that starts below 1024 is written whole.
  EXPECT_EQ(edit(filler + "%s%d%d", {"lost", 123456, 9}).size(), 1000u + 6 + 1);
  EXPECT_EQ(edit(std::string(1030, 'g'), {}).size(), 1024u);
}

TEST(ErrEdit, KeepsNulBytesOfTexts) {
  const std::string with_nul("a\0b", 3);
  EXPECT_EQ(edit("[%s]", {with_nul}), std::string("[a\0b]", 5));
}

TEST(ErrMsg, PlainFormatIsWrittenUnchanged) {
  testing::CapturedIo io;
  errmsg("back\\slash\n");
  errmsg("%s: not found\n", "x.h");
  EXPECT_EQ(io.err(), "back\\slash\nx.h: not found\n");
}

}  // namespace
}  // namespace sornik

// Tests of the replacement engine: from:to pairs of a template applied one after
// another to a text.
#include "textual/replace/replace_engine.h"

#include <gtest/gtest.h>

#include "captured_io.h"
#include "common/fatal.h"
#include "lead_byte_edges.h"
#include "textual/replace/pattern_match.h"

namespace sornik {
namespace {

class Engine : public ::testing::Test {
 protected:
  // The result of replace_all, or "<null>".
  std::string apply(std::string_view templ, std::string_view subject) {
    const std::optional<std::string_view> result = engine->replace_all(templ, subject);
    return result ? std::string(*result) : "<null>";
  }
  std::optional<std::string_view> replace_all(std::string_view templ, std::string_view subject) {
    return engine->replace_all(templ, subject);
  }
  // A new engine, with `limits` or those of the machine.
  void new_engine(std::optional<ReplaceLimits> limits = std::nullopt) { engine.emplace(limits); }

  std::optional<ReplaceEngine> engine{std::in_place};
  testing::CapturedIo io;
};

TEST_F(Engine, PairsAreCutAtCommasAndTheLastColon) {
  TemplatePair pair;
  EXPECT_EQ(get_pair("x:p:q,y:z", 0, pair), 6u);
  EXPECT_EQ(pair.from, "x");
  EXPECT_EQ(pair.to, "q");
  EXPECT_EQ(get_pair("x:p:q,y:z", 6, pair), 9u);
  EXPECT_EQ(pair.to, "z");

  // Escaped delimiters and the second byte of a two-byte character stay inside a part.
  EXPECT_EQ(get_pair("a\\,b:c\\:d,", 0, pair), 10u);
  EXPECT_EQ(pair.from, "a\\,b");
  EXPECT_EQ(pair.to, "c\\:d");
  EXPECT_EQ(get_pair("a:\x81,b", 0, pair), 5u);
  EXPECT_EQ(pair.to, "\x81,b");

  EXPECT_EQ(get_pair("x\\:p", 0, pair), std::nullopt);
  EXPECT_EQ(get_pair("a:b\\", 0, pair), 4u);
  EXPECT_EQ(pair.to, "b\\");
}

TEST_F(Engine, BadTemplatesAreReportedWhole) {
  EXPECT_EQ(apply("", "abc"), "<null>");
  EXPECT_EQ(apply("a:b,,", "abc"), "<null>");
  EXPECT_EQ(apply(":b", "abc"), "<null>");
  EXPECT_EQ(apply("a:b,c", "abc"), "<null>");
  EXPECT_EQ(io.err(), ": bad <replace>\na:b,,: bad <replace>\n:b: bad <replace>\na:b,c: bad <replace>\n");

  EXPECT_EQ(apply("a:b,", "abca"), "bbcb");
  EXPECT_EQ(apply("a:b,b:c", "ab"), "cc");
}

TEST_F(Engine, FieldSelector) {
  EXPECT_EQ(apply("(3)x:y", "axb"), "axb");
  EXPECT_EQ(apply("(1)x:y", "axb"), "ayb");
  EXPECT_EQ(apply("(001)(x):y", "x xb"), "y xb");
  EXPECT_EQ(apply("(1):y", "axb"), "axb");
  EXPECT_EQ(apply("(99999999999999999999)x:y", "x"), "x");
  EXPECT_EQ(io.err(), "");
  EXPECT_EQ(apply("(0)x:y", "x"), "<null>");
  EXPECT_EQ(apply("()x:y", "x"), "<null>");
  EXPECT_EQ(io.err(), "(0)x: bad \"<replace>\" parameter\n()x: bad \"<replace>\" parameter\n");
}

TEST_F(Engine, MatchesDoNotOverlapAndZeroLengthMatchesNothing) {
  EXPECT_EQ(apply("aa:X", "aaaa"), "XX");
  EXPECT_EQ(apply("aa:X", "aaa"), "Xa");
  EXPECT_EQ(apply("(\\):X", "+ -"), "+ -");
  EXPECT_EQ(apply("\\::X", "a:b"), "aXb");
}

TEST_F(Engine, WholeWordBoundaries) {
  for (const char* text : {"xab", "abx", "ab_", "ab1",
                           "\x82\xa0"
                           "ab",
                           "ab\x80", "ab\x82\xa0"}) {
    EXPECT_EQ(apply("(ab):X", text), text) << text;
  }
  EXPECT_EQ(apply("(ab):X", "ab"), "X");
  EXPECT_EQ(apply("(ab):X", "(ab)"), "(X)");
  EXPECT_EQ(apply("(ab):X", "ab+ab"), "X+X");
  EXPECT_EQ(apply("(ab):X", "\x82\xa0 ab"), "\x82\xa0 X");
  // A byte of 0x80 or above that is no two-byte character is a boundary before a word.
  EXPECT_EQ(apply("(ab):X",
                  "\x80"
                  "ab"),
            "\x80X");
}

TEST_F(Engine, TwoByteCharactersAreUnits) {
  // The second byte 0x61 ("a") of a two-byte character is never matched.
  EXPECT_EQ(apply("a:X", "\x88\x61 a"), "\x88\x61 X");
  EXPECT_EQ(apply("\x88\x61:X", "a\x88\x61"), "aX");
  // "?" takes one byte; a match ending inside a character swallows its second byte.
  EXPECT_EQ(apply("a?:X",
                  "a\x81\x40"
                  "b"),
            "Xb");
  EXPECT_EQ(apply("a:\x81$u", "a"), "\x81$u");
}

TEST_F(Engine, LeadByteRangeEdges) {
  for (const testing::EdgeByte& edge : testing::kLeadByteEdges) {
    const std::string byte = edge.text();
    // The "a" after a lead byte is its second byte and is never matched.
    EXPECT_EQ(apply("a:X", byte + "a a"), byte + (edge.lead ? "a X" : "X X")) << edge;
    // In a pattern and in a to-part the character takes the "$" after a lead byte.
    EXPECT_EQ(apply(byte + "$d:[$$]", byte + "$d " + byte + "7"),
              edge.lead ? "[" + byte + "$d] " + byte + "7" : byte + "$d [" + byte + "7]")
        << edge;
    EXPECT_EQ(apply("q:" + byte + "$u", "q"), byte + (edge.lead ? "$u" : "Q")) << edge;
  }
}

TEST_F(Engine, CapturesPersistAcrossAttemptsAndCalls) {
  EXPECT_EQ(apply("k$d:[$d]", "k42 kx k"), "[42] kx k");
  EXPECT_EQ(engine->matcher().captures().arg_d, "");
  EXPECT_EQ(apply("v$a:<$a>", "vabc1"), "<abc>1");
  EXPECT_EQ(apply("z:$a$d", "z"), "abc");
  EXPECT_EQ(apply("=$$:[$A]", "a=rest of"), "a[rest of]");
  EXPECT_EQ(apply("#$x$s$g:$x|$s|$g", "#fF \t!x"), "fF| \t|!x");
  EXPECT_EQ(apply("^$c:<$c>",
                  "^\x01\x7f"
                  "a"),
            "<\x01\x7f>a");
  EXPECT_EQ(apply("@$A:$A", "@a1_"), "a1_");
  EXPECT_EQ(apply("$d:#", "a12b3"), "a#b#");
  EXPECT_EQ(apply("$q:X", "a$qb"), "aXb");
  // The failed attempts inside "345" leave the run from the last one, "5".
  EXPECT_EQ(apply("$dx:<$d>,q:[$d]", "q 12x 345"), "[5] <12> 345");
  new_engine();
  EXPECT_EQ(apply("z:[$a]", "z"), "[]");
}

// Captures live as long as their engine: another engine, as another run
// has, neither sees them nor disturbs them.
TEST_F(Engine, EachEngineKeepsItsOwnCaptures) {
  EXPECT_EQ(apply("k$d:[$d]", "k42"), "[42]");
  ReplaceEngine other;
  EXPECT_EQ(other.replace_all("z:[$d]", "z"), "[]");
  EXPECT_EQ(other.replace_all("q$d:<$d>", "q7"), "<7>");
  EXPECT_EQ(apply("z:[$d]", "z"), "[42]");
}

TEST_F(Engine, CaptureClassesEndAtTheirEdges) {
  // A run of the bytes at the edges of a class, then a byte just outside it.
  const struct {
    char letter;
    std::string inside;
    char outside;
  } cases[] = {
      {'g', "!~", ' '},      {'g', "!", '\x7f'},     {'d', "09", '/'}, {'d', "9", ':'},
      {'a', "azAZ", '@'},    {'a', "z", '{'},        {'a', "Z", '['},  {'a', "a", '`'},
      {'A', "azAZ09", '_'},  {'x', "09afAF", 'g'},   {'x', "F", 'G'},  {'c', "\x01\x1f\x7f", ' '},
      {'c', "\x1f", '\x80'}, {'s', " \t\n\f", '\r'}, {'s', " ", '\v'},
  };
  for (const auto& c : cases) {
    const std::string capture = {'$', c.letter};
    EXPECT_EQ(apply("<" + capture + ":[" + capture + "]", "<" + c.inside + c.outside),
              "[" + c.inside + "]" + c.outside)
        << capture << " before byte " << static_cast<int>(static_cast<unsigned char>(c.outside));
  }
}

TEST_F(Engine, ReplacementSequences) {
  EXPECT_EQ(apply("ab:<$u>", "ab"), "<AB>");
  EXPECT_EQ(apply("(a?):$l $u $$", "aB"), "ab AB aB");
  EXPECT_EQ(apply("a:\\$\\\\\\q", "a"), "$\\q");
  EXPECT_EQ(apply("a:\x81\\x", "a"), "\x81\\x");
}

TEST_F(Engine, IllegalDollarSequenceEndsTheRun) {
  EXPECT_EQ(apply("a:$q", "b"), "b");
  EXPECT_THROW(replace_all("a:x$q", "a"), FatalStop);
  EXPECT_THROW(replace_all("a:x$", "a"), FatalStop);
  EXPECT_EQ(io.err(), "illegal \"-r <replace>\" parameter: x$q\nillegal \"-r <replace>\" parameter: x$\n");
}

TEST_F(Engine, NoFixedLimits) {
  const std::string long_text(5000, 'a');
  EXPECT_EQ(apply("a:$$$$$$$$", long_text), std::string(20000, 'a'));
  EXPECT_EQ(apply("<$a:$a", "<" + long_text), long_text);
  const std::string long_to(9000, 'y');
  EXPECT_EQ(apply("x:" + long_to, "xx"), long_to + long_to);
}

TEST_F(Engine, ResultsBeyondTheLimitAreRefusedBeforeTheyAreBuilt) {
  new_engine(ReplaceLimits{1000, std::size_t{1} << 30});
  EXPECT_EQ(apply("x:yy", std::string(500, 'x')), std::string(1000, 'y'));
  EXPECT_THROW(replace_all("x:yy", std::string(501, 'x')), FatalStop);
  // A to-part that inserts the match is measured whatever its length.
  EXPECT_EQ(apply("x:$$", std::string(1000, 'x')), std::string(1000, 'x'));
  EXPECT_THROW(replace_all("x:$$$$", std::string(501, 'x')), FatalStop);
  // Every pair triples the text: the first result beyond 100000 bytes, 3^11
  // bytes, is refused, not 3^20.
  new_engine(ReplaceLimits{100000, std::size_t{1} << 30});
  std::string templ;
  for (char name = 'a'; name < 'u'; ++name) {
    const char next = static_cast<char>(name + 1);
    templ += std::string{name, ':', next, next, next, ','};
  }
  EXPECT_THROW(replace_all(templ, "a"), FatalStop);
  EXPECT_EQ(io.err(),
            "cannot get the memory of 1 K bytes\ncannot get the memory of 1 K bytes\n"
            "cannot get the memory of 177 K bytes\n");
}

TEST_F(Engine, PairsThatWouldReadTooMuchTogetherAreRefused) {
  new_engine(ReplaceLimits{std::size_t{1} << 30, 30000});
  const std::string text(10000, 'x');
  EXPECT_EQ(apply("(q):r,(q):r,(q):r", text), text);
  EXPECT_THROW(replace_all("(q):r,(q):r,(q):r,(q):r", text), FatalStop);
  EXPECT_EQ(io.err(), "cannot get the memory of 40 K bytes\n");
}

TEST_F(Engine, BytesAreKeptAndResultsMayBeFedBack) {
  const std::string with_nul("a\0b\0", 4);
  EXPECT_EQ(apply("b:c", with_nul), std::string("a\0c\0", 4));
  EXPECT_EQ(apply(std::string("\0:z", 3), with_nul), "azbz");

  const std::string_view first = *replace_all("a:bb", "aa");
  EXPECT_EQ(apply("b:c", first), "cccc");
}

}  // namespace
}  // namespace sornik

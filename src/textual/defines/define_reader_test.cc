// Tests of the definition-file reader: one record of the define table per define
// statement.
#include "textual/defines/define_reader.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

#include "captured_io.h"
#include "common/fatal.h"
#include "textual/defines/define_table.h"
#include "textual/scan/source_scanner.h"

using namespace std::string_literals;

namespace sornik {
namespace {

struct Loaded {
  std::string name;
  std::optional<std::string> params;
  std::string body;
  bool operator==(const Loaded&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Loaded& entry) {
  out << '{' << entry.name << " | ";
  if (entry.params) out << '(' << *entry.params << ')';
  return out << " | " << entry.body << '}';
}

Loaded object_like(std::string name, std::string body) {
  return {std::move(name), std::nullopt, std::move(body)};
}
Loaded function_like(std::string name, std::string params, std::string body) {
  return {std::move(name), std::move(params), std::move(body)};
}

class DefineReaderTest : public ::testing::Test {
 protected:
  // Loads the definition files in order; the records in file order.
  std::vector<Loaded> load(const std::vector<std::string>& names) {
    for (const std::string& name : names) EXPECT_EQ(set_chgdata(scanner_, *defines_, name), 0) << name;
    return table();
  }
  std::vector<Loaded> load_text(const std::string& text) {
    io.files["defs.h"] = text;
    return load({"defs.h"});
  }

  std::vector<Loaded> table() const {
    std::vector<Loaded> entries;
    for (int i = 0; i < defines_->def_cnt(); ++i) {
      const DefineEntry& entry = defines_->chg_tbl(i);
      EXPECT_EQ(entry.resolve_cnt(), 0);
      const std::optional<std::string_view> params = defines_->params(entry);
      entries.push_back({std::string(defines_->name(entry)),
                         params ? std::optional<std::string>(*params) : std::nullopt,
                         std::string(defines_->body(entry))});
    }
    return entries;
  }

  testing::CapturedIo io;
  SourceScanner scanner_;
  // Made anew for a test's next run.
  std::optional<DefineTable> defines_{std::in_place};
};

TEST_F(DefineReaderTest, ObjectLikeValueEndsAfterItsLastWord) {
  EXPECT_EQ(load_text("#define A 10 /* ten */\n"
                      "#define B 10/* attached */\n"
                      "#define C /* first */ 10\n"
                      "#define D 1 // line comment\n"
                      "#define E  a  b \t\f\n"
                      "#define F 1 /* comment\n"
                      "   going on */\n"
                      "#define G x /*\n"),
            (std::vector<Loaded>{object_like("A", "10"), object_like("B", "10/* attached */"),
                                 object_like("C", "/* first */ 10"), object_like("D", "1 // line comment"),
                                 object_like("E", "a  b"), object_like("F", "1"), object_like("G", "x")}));
  EXPECT_EQ(io.err(), "");
}

TEST_F(DefineReaderTest, BothStatementFormsAndTheirNames) {
  EXPECT_EQ(load_text("#defineX 1\n"
                      "# define Y 2\n"
                      "#\t define\f Z 3\n"
                      "#define\tW\t4\n"
                      "#define N;x 5\n"
                      "#define EMPTY\n"
                      "#define EMPTY_BLANKS \t \n"
                      "#define LAST"),
            (std::vector<Loaded>{object_like("X", "1"), object_like("Y", "2"), object_like("Z", "3"),
                                 object_like("W", "4"), object_like("N;x", "5"), object_like("EMPTY", ""),
                                 object_like("EMPTY_BLANKS", ""), object_like("LAST", "")}));
}

TEST_F(DefineReaderTest, LinesThatAreNoStatementsAreSkipped) {
  EXPECT_EQ(load_text(" #define INDENTED 1\n"
                      "#if defined(X)\n"
                      "#elif defined(Y)\n"
                      "#include <define.h>\n"
                      "#pragma undefined_x 5\n"
                      "#ifdef X\n"
                      "#undef X\n"
                      "#\fdefine FF 1\n"
                      "#define\n"
                      "#define \t\n"
                      "# define \n"
                      "int define = 1;\n"
                      "#define"),
            std::vector<Loaded>{});
  EXPECT_EQ(defines_->def_cnt(), 0);
}

TEST_F(DefineReaderTest, ANameThatEndsAtOnceIsTheEmptyName) {
  EXPECT_EQ(load_text("#define (x) 1\n"
                      "#define Y 5\n"),
            (std::vector<Loaded>{function_like("", "x", "1"), object_like("Y", "5")}));
  EXPECT_EQ(io.err(), "");

  defines_.emplace();
  io.files["defs.h"] = "#define(x) 2\n# define (y) 3\n#define\fX 4\n";
  EXPECT_THROW(set_chgdata(scanner_, *defines_, "defs.h"), FatalStop);
  EXPECT_EQ(io.err(), ": dupricated name!\n: dupricated name!\n");
  EXPECT_EQ(table(), (std::vector<Loaded>{function_like("", "x", "2"), function_like("", "y", "3"),
                                          object_like("", "\fX 4")}));
}

TEST_F(DefineReaderTest, FunctionLikeDefinesKeepTheirValueAsWritten) {
  EXPECT_EQ(load_text("#define F(x) ((x) * 2) /* doubled */\n"
                      "#define G(a, b)a ## b  \n"
                      "#define H() h\n"
                      "#define I(x)\n"
                      "#define J(x, /* ) */ y) x\n"
                      "#define K(x) x"),
            (std::vector<Loaded>{function_like("F", "x", "((x) * 2) /* doubled */"),
                                 function_like("G", "a, b", "a ## b  "), function_like("H", "", "h"),
                                 function_like("I", "x", ""), function_like("J", "x, /* ) */ y", "x"),
                                 function_like("K", "x", "x")}));
}

TEST_F(DefineReaderTest, ListsAndValuesThatNeedTheScannerAndThoseThatDoNot) {
  // A list closes at its first ")" only when no "(", quote or "/" comes
  // before it; other brackets do not count. A backslash that does not end
  // the line continues nothing.
  EXPECT_EQ(load_text("#define P(a, (b)) a\n"
                      "#define Q(a[)]) q\n"
                      "#define R(a<b>, {c}) r\n"
                      "#define S(a, '(') s\n"
                      "#define T(a/b) t\n"
                      "#define V 1 \\ 2\n"
                      "#define W(a) a \\ b \n"
                      "#define X(a) \\\n"),
            (std::vector<Loaded>{function_like("P", "a, (b)", "a"), function_like("Q", "a[", "]) q"),
                                 function_like("R", "a<b>, {c}", "r"), function_like("S", "a, '('", "s"),
                                 function_like("T", "a/b", "t"), object_like("V", "1 \\ 2"),
                                 function_like("W", "a", "a \\ b "), function_like("X", "a", "\\")}));
}

TEST_F(DefineReaderTest, ListNotClosedOnItsLineMakesAnObjectLikeDefine) {
  EXPECT_EQ(load_text("#define F (x) x\n"
                      "#define G(a,\n"
                      "#define H(a, \\\n"
                      "  b) (a)\n"
                      "#define I(a, \"b)\n"
                      "#define J(a /* b) */\n"),
            (std::vector<Loaded>{object_like("F", "(x) x"), object_like("G", "(a,"),
                                 object_like("H", "(a, \\\n  b) (a)"), object_like("I", "(a, \"b)"),
                                 object_like("J", "(a")}));
}

TEST_F(DefineReaderTest, ContinuationLinesStayInTheValue) {
  const std::string long_line(1500, 'v');
  EXPECT_EQ(load_text("#define S \"a\\n\" \\\n"
                      "  \"b\"\n"
                      "#define X 1 + \\\n"
                      "    2 + \\\n"
                      "    3  \n"
                      "#define F(a) a \\\n"
                      "  + a\n"
                      "#define L \\\n" +
                      long_line +
                      "\n"
                      "#define STOP 1 \\\n"),
            (std::vector<Loaded>{
                object_like("S", "\"a\\n\" \\\n  \"b\""), object_like("X", "1 + \\\n    2 + \\\n    3"),
                function_like("F", "a", "a \\\n  + a"), object_like("L", "\\\n" + long_line.substr(0, 1023)),
                object_like("STOP", "1 \\")}));
}

// Bytes are kept as read, except one CR directly before a newline (CR LF line ends).
TEST_F(DefineReaderTest, BytesAreKeptAsReadButCrLfEndsALine) {
  EXPECT_EQ(load_text("#define A\0B 1\0 2\n"s
                      "#define CR 1\r\n"
                      "#define CRS x\ry\r\r\n"
                      "#define F(a,\tb) a\\\r\n"
                      "  b\r\n"
                      "#define SJIS \"\x95\x5c\"\n"),
            (std::vector<Loaded>{object_like("A\0B"s, "1\0 2"s), object_like("CR", "1"),
                                 object_like("CRS", "x\ry\r"), function_like("F", "a,\tb", "a\\\n  b"),
                                 object_like("SJIS", "\"\x95\x5c\"")}));
}

TEST_F(DefineReaderTest, RecordsOfLaterFilesFollowAndTheTableGrows) {
  std::string many;
  for (int i = 0; i < 1500; ++i) many += "#define M" + std::to_string(i) + " " + std::to_string(i) + "\n";
  io.files["first.h"] = "#define FIRST 1\n";
  io.files["many.h"] = many;
  const std::vector<Loaded> entries = load({"first.h", "many.h"});
  ASSERT_EQ(defines_->def_cnt(), 1501);
  EXPECT_EQ(defines_->chg_max(), 2000);
  EXPECT_EQ(entries[0], object_like("FIRST", "1"));
  EXPECT_EQ(entries[1000], object_like("M999", "999"));
  EXPECT_EQ(entries[1500], object_like("M1499", "1499"));
}

TEST_F(DefineReaderTest, DuplicatesAreReportedEachAfterTheWholeFile) {
  io.files["a.h"] = "#define A 1\n#define B 2\n";
  io.files["b.h"] =
      "#define C 3\n#define A 4\n#define C(x) 5\n#define D 6\n#define A 7\n#define B (\n#define E 8\n";
  ASSERT_EQ(set_chgdata(scanner_, *defines_, "a.h"), 0);
  EXPECT_THROW(set_chgdata(scanner_, *defines_, "b.h"), FatalStop);
  EXPECT_EQ(io.err(), "A: dupricated name!\nC: dupricated name!\nA: dupricated name!\nB: dupricated name!\n");
  EXPECT_EQ(defines_->def_cnt(), 9) << "the whole file was read";
  EXPECT_EQ(table().back(), object_like("E", "8"));
}

TEST_F(DefineReaderTest, LongestLineIsReadAndALongerOneEndsTheRun) {
  const std::string longest = "#define L " + std::string(1022 - 11, 'x') + "\n";
  ASSERT_EQ(longest.size(), 1022u);
  EXPECT_EQ(load_text(longest), (std::vector<Loaded>{object_like("L", std::string(1011, 'x'))}));

  defines_.emplace();
  const std::string too_long = "/* " + std::string(1019, 'y') + "\n";
  io.files["defs.h"] = "#define A 1\n" + too_long + "#define B 2\n";
  EXPECT_THROW(set_chgdata(scanner_, *defines_, "defs.h"), FatalStop);
  EXPECT_EQ(io.err(), too_long.substr(0, 768) + " \nError: too long line found\n");
}

TEST_F(DefineReaderTest, MissingFileIsReported) {
  EXPECT_EQ(set_chgdata(scanner_, *defines_, "absent.h"), -1);
  EXPECT_EQ(io.err(), "absent.h: not found\n");
  EXPECT_EQ(defines_->def_cnt(), 0);
}

}  // namespace
}  // namespace sornik

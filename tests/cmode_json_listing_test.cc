// The C mode's --json output read back with a real JSON parser: every line is
// one object of the documented members, each use's place is where it stands,
// and its text, macro, definition place, expansion and value are what the
// format's $n, $m, $d, $x and $v give for the same use.
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "captured_io.h"
#include "json_check.h"

namespace sornik::testing {
namespace {

using Json = nlohmann::json;
using std::string_literals::operator""s;

// The members of a use, each with the type its value must have; `place` the
// five of an outermost use or none.
void expect_members(const Json& use, const std::set<std::string>& place, const std::string& where) {
  std::set<std::string> expected = {"text", "macro", "defined_at", "expansion", "uses"};
  expected.insert(place.begin(), place.end());
  if (use.contains("value")) expected.insert("value");
  std::set<std::string> names;
  for (const auto& member : use.items()) names.insert(member.key());
  EXPECT_EQ(names, expected) << where;
  for (const std::string& name : place) {
    EXPECT_TRUE(name == "file" ? use[name].is_string() : use[name].is_number_unsigned()) << name << where;
  }
  for (const char* name : {"text", "macro", "expansion"}) {
    EXPECT_TRUE(use[name].is_string()) << name << where;
  }
  if (use.contains("value")) {
    EXPECT_TRUE(use["value"].is_number_integer()) << where;
  }
  EXPECT_TRUE(use["uses"].is_array()) << where;
  const Json& defined_at = use["defined_at"];
  ASSERT_TRUE(defined_at.is_object()) << where;
  EXPECT_EQ(defined_at.size(), 2u) << where;
  EXPECT_TRUE(defined_at["file"].is_string()) << where;
  EXPECT_TRUE(defined_at["line"].is_number_unsigned()) << where;
}

// Bytes as a JSON string of the listing reads them: a well-formed UTF-8
// sequence as it is, any other byte as the Latin-1 character of its value.
std::string as_json_string(std::string_view bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = lead < 0x80                    ? 1
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    bool well_formed = length != 0 && i + length <= bytes.size();
    for (std::size_t k = 1; well_formed && k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      unsigned low = 0x80;
      unsigned high = 0xBF;
      if (k == 1 && lead == 0xE0) low = 0xA0;
      if (k == 1 && lead == 0xED) high = 0x9F;
      if (k == 1 && lead == 0xF0) low = 0x90;
      if (k == 1 && lead == 0xF4) high = 0x8F;
      well_formed = next >= low && next <= high;
    }
    if (well_formed) {
      text.append(bytes.substr(i, length));
      i += length;
    } else {
      text.push_back(static_cast<char>(0xC0 | (lead >> 6)));
      text.push_back(static_cast<char>(0x80 | (lead & 0x3F)));
      ++i;
    }
  }
  return text;
}

// One use as the format below writes it, with the uses nested in its name
// text and then those in its expansion.
struct FormattedUse {
  std::string macro;
  std::string defined_at;
  std::string value;
  std::string text;       // nested uses by their final text
  std::string expansion;  // the final text
  std::vector<FormattedUse> uses;
};

// Marks a use's parts apart in the format's output.
constexpr char kOpen = '\x01';
constexpr char kPart = '\x02';
constexpr char kClose = '\x03';
const std::string kFormat = "\x01$m\x02$d\x02$v\x02$n\x02$x\x03";

// Reads one formatted use whose opening mark is at `pos`; leaves `pos` past it.
FormattedUse read_use(std::string_view out, std::size_t& pos) {
  FormattedUse use;
  ++pos;
  std::string* parts[] = {&use.macro, &use.defined_at, &use.value, &use.text, &use.expansion};
  for (std::string* part : parts) {
    while (pos < out.size() && out[pos] != kPart && out[pos] != kClose) {
      if (out[pos] == kOpen) {
        use.uses.push_back(read_use(out, pos));
        part->append(use.uses.back().expansion);
      } else {
        part->push_back(out[pos++]);
      }
    }
    ++pos;
  }
  return use;
}

// The outermost uses of the format's output.
std::vector<FormattedUse> read_uses(std::string_view out) {
  std::vector<FormattedUse> uses;
  for (std::size_t pos = 0; (pos = out.find(kOpen, pos)) != std::string_view::npos;)
    uses.push_back(read_use(out, pos));
  return uses;
}

void expect_same_use(const Json& use, const FormattedUse& formatted, const std::string& where) {
  expect_members(use,
                 use.contains("file")
                     ? std::set<std::string>{"file", "line", "column", "end_line", "end_column"}
                     : std::set<std::string>{},
                 where);
  EXPECT_EQ(use["macro"], formatted.macro) << where;
  EXPECT_EQ(use["text"], as_json_string(formatted.text)) << where;
  EXPECT_EQ(use["expansion"], as_json_string(formatted.expansion)) << where;
  const Json& defined_at = use["defined_at"];
  const std::string line = defined_at["line"] == 0 ? "" : ":" + defined_at["line"].dump();
  EXPECT_EQ(defined_at["file"].get<std::string>() + line, formatted.defined_at) << where;
  EXPECT_EQ(use.contains("value") ? use["value"].dump() : "", formatted.value) << where;
  ASSERT_EQ(use["uses"].size(), formatted.uses.size()) << where;
  for (std::size_t i = 0; i < formatted.uses.size(); ++i)
    expect_same_use(use["uses"][i], formatted.uses[i], where + " > " + formatted.uses[i].macro);
}

// Every line of `out` as one JSON object.
std::vector<Json> json_lines(const std::string& out) {
  std::vector<Json> objects;
  EXPECT_TRUE(out.empty() || out.back() == '\n');
  for (std::size_t pos = 0; pos < out.size();) {
    const std::size_t end = out.find('\n', pos);
    const std::string line = out.substr(pos, end - pos);
    pos = end == std::string::npos ? out.size() : end + 1;
    try {
      objects.push_back(Json::parse(line));
      EXPECT_TRUE(objects.back().is_object()) << line;
    } catch (const Json::exception& error) {
      ADD_FAILURE() << error.what() << " in: " << line;
    }
  }
  return objects;
}

struct Place {
  std::string file;
  unsigned line, column, end_line, end_column;
};

const std::map<std::string, std::string> kFiles = {
    {"regs.h", "#define BASE 0x4000u\n#define REG(n) (BASE + (n) * 4)\n"},
    {"a.c",
     "#include \"regs.h\"\n"
     "#define ONE 1\n"
     "#define TWO (ONE + ONE)\n"
     "#define ADD(a, b) ((a) + (b))\n"
     "#define EMPTY\n"
     "#define HALF 0.5\n"
     "#define ID(x) x\n"
     "#define CALL ADD\n"
     "int x = ADD(TWO,\n"
     "      REG(2)) + EMPTY HALF;\n"
     "int y = CLI + TIMES(3) - CALL(1, 2);\n"
     "char *s = ID(\"\xff\xc3\xa9\xe0\x80 \\u00e9\");\n"
     "int z = ID(a "s +
         '\0' + " b) + ID(-1) + ID((unsigned char)-1) + ID(18446744073709551615u);\n"},
    {"u.h", "#define U 1\nint in_header = U;\n"},
};
const std::vector<std::string> kArgs = {"--cpp", "-DCLI=7", "-DTIMES(x)=x*2", "a.c", "u.h"};

TEST(CModeJsonListing, EveryLineIsOneObjectAgreeingWithTheFormat) {
  std::vector<std::string> json_args = kArgs;
  json_args.insert(json_args.begin() + 1, "--json");
  const RunResult json_run = run_in_memory(json_args, kFiles);
  ASSERT_EQ(json_run.status, 0) << json_run.err;
  EXPECT_EQ(json_lines_problem(json_run.out), "");
  const std::vector<Json> objects = json_lines(json_run.out);

  std::vector<std::string> format_args = kArgs;
  format_args.insert(format_args.begin() + 1, {"-f", kFormat});
  const RunResult format_run = run_in_memory(format_args, kFiles);
  const std::vector<FormattedUse> formatted = read_uses(format_run.out);
  ASSERT_EQ(objects.size(), formatted.size()) << json_run.out;

  // Byte columns: the string on line 12 holds a two-byte character.
  const std::vector<Place> places = {
      {"a.c", 9, 9, 10, 14},   {"a.c", 10, 17, 10, 22}, {"a.c", 10, 23, 10, 27}, {"a.c", 11, 9, 11, 12},
      {"a.c", 11, 15, 11, 23}, {"a.c", 11, 26, 11, 36}, {"a.c", 12, 11, 12, 29}, {"a.c", 13, 9, 13, 18},
      {"a.c", 13, 21, 13, 27}, {"a.c", 13, 30, 13, 51}, {"a.c", 13, 54, 13, 79}, {"u.h", 2, 17, 2, 18},
  };
  ASSERT_EQ(objects.size(), places.size()) << json_run.out;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    const std::string where = "use " + std::to_string(i) + ": " + objects[i].dump();
    expect_same_use(objects[i], formatted[i], where);
    EXPECT_EQ(objects[i]["file"], places[i].file) << where;
    EXPECT_EQ(objects[i]["line"], places[i].line) << where;
    EXPECT_EQ(objects[i]["column"], places[i].column) << where;
    EXPECT_EQ(objects[i]["end_line"], places[i].end_line) << where;
    EXPECT_EQ(objects[i]["end_column"], places[i].end_column) << where;
  }
}

TEST(CModeJsonListing, ValuesAndNestingAsWritten) {
  std::vector<std::string> args = kArgs;
  args.insert(args.begin() + 1, "--json");
  const std::vector<Json> objects = json_lines(run_in_memory(args, kFiles).out);
  ASSERT_EQ(objects.size(), 12u);
  // ADD(TWO, REG(2)): TWO holds two ONE; REG holds BASE.
  const Json& add = objects[0];
  EXPECT_EQ(add["text"], "ADD(TWO,\n      REG(2))");
  EXPECT_EQ(add["value"], 2 + 0x4000 + 8);
  ASSERT_EQ(add["uses"].size(), 2u);
  EXPECT_EQ(add["uses"][0]["uses"].size(), 2u);
  EXPECT_EQ(add["uses"][1]["uses"][0]["defined_at"], Json::parse(R"({"file":"regs.h","line":1})"));
  EXPECT_FALSE(objects[1].contains("value"));  // EMPTY
  EXPECT_FALSE(objects[2].contains("value"));  // HALF
  EXPECT_EQ(objects[3]["defined_at"], Json::parse(R"({"file":"<command line>","line":0})"));
  EXPECT_EQ(objects[4]["expansion"], "3*2");
  // CALL(1, 2) reaches past its text: ADD is nested, showing the tokens it took.
  EXPECT_EQ(objects[5]["uses"][0]["text"], "ADD(1, 2)");
  EXPECT_EQ(objects[6]["text"], "ID(\"\u00ff\u00e9\u00e0\u0080 \\u00e9\")");
  EXPECT_EQ(objects[7]["text"], std::string("ID(a \0 b)", 9));
  EXPECT_EQ(objects[8]["value"], -1);
  EXPECT_EQ(objects[9]["value"], 255);
  EXPECT_EQ(objects[10]["value"], 18446744073709551615u);
  EXPECT_EQ(objects[11]["file"], "u.h");
}

// The check the fuzz targets make of every --json output.
TEST(CModeJsonListing, TheLinesCheckFindsEachBrokenMember) {
  const std::string use = R"("text":"A","macro":"A","defined_at":{"file":"a.c","line":1},"expansion":"1")";
  const std::string place = R"({"file":"a.c","line":1,"column":1,"end_line":1,"end_column":2,)";
  EXPECT_EQ(json_lines_problem(""), "");
  EXPECT_EQ(json_lines_problem(place + use + R"(,"value":-1,"uses":[{)" + use +
                               R"(,"uses":[]}]})"
                               "\n"),
            "");
  EXPECT_EQ(json_lines_problem(place + use + R"(,"uses":[]})"), "the last line has no newline");
  EXPECT_EQ(json_lines_problem(place + use +
                               R"(,"uses":[]}{})"
                               "\n"),
            "no JSON on line 1");
  EXPECT_EQ(json_lines_problem("{" + use +
                               R"(,"uses":[]})"
                               "\n"),
            "no string \"file\" on line 1");
  EXPECT_EQ(json_lines_problem(place + use +
                               R"(,"value":1.5,"uses":[]})"
                               "\n"),
            "a \"value\" that is no integer on line 1");
  EXPECT_EQ(json_lines_problem(place + use + R"(,"uses":[{)" + use +
                               R"(,"uses":[],"line":1}]})"
                               "\n"),
            "members besides those of a use on line 1");
  EXPECT_EQ(json_lines_problem(place + use +
                               R"(,"uses":[{"text":"B","uses":[]}]})"
                               "\n"),
            "no string \"macro\" on line 1");
  const std::string bad_place = R"({"file":"a.c","line":1,"column":1,"end_line":1,"end_column":2,"text":"A",)"
                                R"("macro":"A","defined_at":{"file":"a.c"},"expansion":"1","uses":[]})";
  EXPECT_EQ(json_lines_problem(place + use +
                               R"(,"uses":[]})"
                               "\n" +
                               bad_place + "\n"),
            "a \"defined_at\" that is no {\"file\", \"line\"} on line 2");
}

}  // namespace
}  // namespace sornik::testing

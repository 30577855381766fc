#include "cmode_random_program.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <string_view>
#include <vector>

namespace sornik::testing {

namespace {

constexpr std::array<std::string_view, 6> kObjectNames = {"A", "B", "C", "D", "E", "x"};
constexpr std::array<std::string_view, 6> kFunctionNames = {"f", "g", "h", "k", "m", "A"};
constexpr std::array<std::string_view, 5> kParameters = {"x", "y", "z", "A", "f"};
constexpr std::array<std::string_view, 16> kPlainTokens = {
    "1", "2", "v", "w", "+", "-", "*", "[", "]", ",", "0x1", "\"s\"", "'c'", ".5",
    // Literals continued by backslash-CR-LF, holding names that must stay as they are.
    "\"v A\\\r\nB w\"", "'\\\r\nv'"};
// Encoding prefixes pasted to literals, some holding what opens a comment.
constexpr std::array<std::string_view, 7> kPrefixPastes = {
    "L ## \"a/*b\"", "u ## \"//c\"", "U ## 'c'", "u8 ## \"s\"", "L ## 'c'", "u ## \"/*\"", "U ## \"x//\""};

// C++'s own tokens: scope, member pointers, comparison, digit separators,
// literal suffixes, u8 character constants, the operator names, and raw
// strings of every prefix (some holding what looks like their end, a
// comment or a macro's name). Single punctuators that touch each other
// after expansion.
constexpr std::array<std::string_view, 34> kCxxTokens = {"::",
                                                         ".*",
                                                         "->*",
                                                         "<=>",
                                                         "1'000'000",
                                                         "0x1'00'00",
                                                         "\"a\"_s",
                                                         "12_km",
                                                         "1.5_f",
                                                         "u8'a'",
                                                         "'c'_x",
                                                         "and",
                                                         "or",
                                                         "not",
                                                         "bitand",
                                                         "xor",
                                                         "compl",
                                                         "not_eq",
                                                         "true",
                                                         "new",
                                                         "R\"(a A)\"",
                                                         "R\"x(a)\"b)x\"",
                                                         "u8R\"(A /* B)\"",
                                                         "LR\"d()\" A )d\"",
                                                         "UR\"--(//)--\"",
                                                         ".",
                                                         "*",
                                                         ":",
                                                         "<",
                                                         ">",
                                                         "=",
                                                         "-",
                                                         "<:",
                                                         "%"};
// Raw strings across lines (code lines only: a directive ends at its line),
// with line ends, splices and a `)"` that does not end them.
constexpr std::array<std::string_view, 3> kSpanningRawStrings = {"uR\"(\nA\n)\"", "R\"(\r\nf(1)\\\r\n)\"",
                                                                 "u8R\"x(\nB )\" x\n)x\""};
// Pastes that make C++ tokens, and some that make none.
constexpr std::array<std::string_view, 12> kCxxPastes = {
    ". ## *",      "-> ## *",   "- ## >",    ": ## :",       "<= ## >", "1'0 ## 00",
    "\"a\" ## _s", "12 ## _km", "u8 ## 'a'", "R ## \"(x)\"", "< ## :",  "'c' ## _y"};

class ProgramWriter {
 public:
  ProgramWriter(std::mt19937& random, bool cplusplus) : random_(random), cplusplus_(cplusplus) {}

  std::string program() {
    // A macro that expands to nothing leaves the compiler's paddings between
    // tokens, which decide blanks in stringified arguments.
    text_ += "#define NOTHING\n";
    const int definitions = pick(3, 9);
    for (int i = 0; i < definitions; ++i) {
      if (chance(15)) {
        const std::string_view name = any_name();
        arity_.erase(std::string(name));
        text_ += "#undef " + std::string(name) + "\n";
      } else if (cplusplus_ && chance(20)) {
        condition();
      } else {
        definition();
      }
      for (int lines = pick(1, 3); lines > 0; --lines) code_line();
    }
    for (int lines = pick(2, 5); lines > 0; --lines) code_line();
    return text_;
  }

 private:
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool chance(int percent) { return pick(1, 100) <= percent; }
  template <typename List>
  std::string_view one_of(const List& list) {
    return list[static_cast<std::size_t>(pick(0, static_cast<int>(list.size()) - 1))];
  }
  std::string_view any_name() { return chance(50) ? one_of(kObjectNames) : one_of(kFunctionNames); }
  std::string_view plain_token() {
    return cplusplus_ && chance(40) ? one_of(kCxxTokens) : one_of(kPlainTokens);
  }
  // Appends `item` and the blank after it; now and then none, so that the
  // item touches what follows it (after expansion too: an empty expansion
  // between two tokens that touch one of them). A literal keeps
  // its blank: g++ reads a name that touches it as its suffix unless the
  // name is a macro, also where it is a parameter.
  void add_item(const std::string& item) {
    // A raw string keeps its blank before it too: a name that touched its
    // prefix would make it a name and a string left open.
    if (cplusplus_ && item.find("R\"") < 3) text_ += " ";
    text_ += item;
    // So does a number, which a digit separator would carry into a quote.
    const bool literal = !item.empty() && (item.back() == '"' || item.back() == '\'');
    const auto digit = [&](std::size_t at) {
      return at < item.size() && std::isdigit(static_cast<unsigned char>(item[at]));
    };
    const bool number = digit(0) || (!item.empty() && item[0] == '.' && digit(1));
    if (literal || number || !chance(20)) text_ += " ";
  }

  // An #if whose operands are numbers, `true`, `false`, macros and
  // `defined`, joined by operators and their alternative spellings; a line
  // of code shows which group was taken.
  void condition() {
    text_ += "#if " + condition_operand(2) + "\n#define RESULT 1\n#else\n#define RESULT 0\n#endif\nRESULT;\n";
  }

  std::string condition_operand(int depth) {
    static constexpr std::array<std::string_view, 9> kAtoms = {"0", "1",   "true",       "false",    "A",
                                                               "x", "1'0", "defined(B)", "defined f"};
    static constexpr std::array<std::string_view, 4> kUnary = {"not ", "compl ", "!", "-"};
    static constexpr std::array<std::string_view, 12> kBinary = {" and ", " or ",     " bitand ", " bitor ",
                                                                 " xor ", " not_eq ", " && ",     " || ",
                                                                 " == ",  " < ",      " + ",      " - "};
    if (depth == 0 || chance(30)) return std::string(one_of(kAtoms));
    if (chance(20)) {
      const std::string operand = condition_operand(depth - 1);
      return std::string(one_of(kUnary)) + operand;
    }
    // Drawn right to left, one statement each: the operands of + are
    // evaluated in an order each compiler chooses, and the programs must be
    // the same whichever built the test.
    const std::string right = condition_operand(depth - 1);
    const std::string_view binary = one_of(kBinary);
    const std::string left = condition_operand(depth - 1);
    return "(" + left + std::string(binary) + right + ")";
  }

  void definition() {
    params_.clear();
    variadic_ = false;
    named_variadic_.clear();
    if (chance(45)) {
      const std::string_view name = one_of(kObjectNames);
      arity_.erase(std::string(name));
      text_ += "#define " + std::string(name);
      // A body that opens an argument list, or ends in a function-like name.
      if (chance(8)) {
        text_ += " " + std::string(one_of(kFunctionNames)) + "(1,\n";
        return;
      }
      text_ += " ";
      body(pick(0, 5));
      return;
    }
    const std::string_view name = one_of(kFunctionNames);
    text_ += "#define " + std::string(name) + "(";
    const int count = pick(0, 3);
    for (int i = 0; i < count; ++i) {
      std::string_view param = one_of(kParameters);
      bool repeated = false;
      for (const std::string& seen : params_) repeated = repeated || seen == param;
      if (repeated) continue;
      text_ += std::string(params_.empty() ? "" : ", ") + std::string(param);
      params_.emplace_back(param);
    }
    if (chance(35)) {
      variadic_ = true;
      if (chance(30) && !params_.empty()) {
        named_variadic_ = params_.back();
        text_ += "...";
      } else {
        text_ += std::string(params_.empty() ? "" : ", ") + "...";
      }
    }
    text_ += ") ";
    arity_[std::string(name)] = {static_cast<int>(params_.size()) + (variadic_ && named_variadic_.empty()),
                                 variadic_};
    body(pick(0, 6));
  }

  std::string rest_name() const { return named_variadic_.empty() ? "__VA_ARGS__" : named_variadic_; }

  // One operand of the body: a plain token, a name, a parameter, a variable
  // argument, or a stringified parameter.
  std::string operand(bool allow_string) {
    const int kind = pick(0, 9);
    if (kind <= 2 || (kind >= 5 && params_.empty() && !variadic_)) return std::string(plain_token());
    if (kind <= 4) return std::string(any_name());
    if (kind <= 6 && !params_.empty())
      return params_[static_cast<std::size_t>(pick(0, static_cast<int>(params_.size()) - 1))];
    if (kind == 7 && variadic_) return rest_name();
    if (kind == 8 && allow_string && !params_.empty())
      return "#" + params_[static_cast<std::size_t>(pick(0, static_cast<int>(params_.size()) - 1))];
    if (kind == 9 && chance(30)) return "__LINE__";
    if (kind == 9 && chance(50)) return "NOTHING";
    return std::string(plain_token());
  }

  void body(int items) {
    bool need_operand = false;
    for (int i = 0; i < items || need_operand; ++i) {
      need_operand = false;
      const int kind = pick(0, 9);
      if (kind == 0 && variadic_ && !params_.empty()) {
        text_ += ", ## " + rest_name() + " ";
      } else if (kind == 1 && variadic_) {
        const std::string second = operand(true);
        const std::string first = operand(true);
        text_ += "__VA_OPT__(" + first + " " + second + ") ";
      } else if (kind == 2 && i + 1 < items) {
        text_ += operand(false) + " ## ";
        need_operand = true;
        continue;
      } else if (kind == 4 && chance(25)) {
        text_ += std::string(cplusplus_ && chance(60) ? one_of(kCxxPastes) : one_of(kPrefixPastes)) + " ";
      } else if (kind == 3) {
        const std::string call = chance(50) ? "(" + operand(true) + ") " : " ";
        text_ += std::string(one_of(kFunctionNames)) + call;
      } else {
        add_item(operand(true));
      }
    }
    text_ += "\n";
  }

  // A use's argument list: zero or more arguments, each a few items, maybe
  // calls themselves, maybe spread over lines.
  void arguments(int depth, std::string_view name) {
    text_ += chance(20) ? " (" : chance(10) ? "/* c */(" : "(";
    int count = pick(0, 3);
    // Mostly as many arguments as the macro takes (one more or fewer when variadic).
    const auto known = arity_.find(std::string(name));
    if (known != arity_.end() && chance(90)) {
      count = std::max(known->second.first + (known->second.second ? pick(-1, 1) : 0), 0);
    }
    for (int i = 0; i < count; ++i) {
      if (i > 0) text_ += chance(15) ? ",\n" : ", ";
      for (int items = pick(0, 2); items > 0; --items) item(depth + 1);
    }
    text_ += ")";
  }

  void item(int depth) {
    const int kind = pick(0, 9);
    if (kind <= 3 && depth < 3) {
      const std::string_view name = one_of(kFunctionNames);
      text_ += std::string(name);
      if (chance(85)) arguments(depth, name);
      add_item("");
    } else if (kind <= 6) {
      add_item(chance(15) ? "NOTHING" : std::string(one_of(kObjectNames)));
    } else if (kind == 7 && depth < 3) {
      text_ += "(";
      item(depth + 1);
      text_ += ") ";
    } else if (cplusplus_ && chance(5)) {
      add_item(std::string(one_of(kSpanningRawStrings)));
    } else {
      add_item(std::string(plain_token()));
    }
    // A splice with CR LF between tokens, as a source with DOS line ends has.
    if (chance(4)) text_ += "\\\r\n";
  }

  void code_line() {
    for (int items = pick(1, 6); items > 0; --items) item(0);
    if (chance(10)) text_ += std::string(one_of(kFunctionNames)) + "\n";
    text_ += ";\n";
  }

  std::mt19937& random_;
  bool cplusplus_;
  std::string text_;
  std::vector<std::string> params_;
  bool variadic_ = false;
  std::string named_variadic_;
  // The function-like macros defined now: parameter count and whether variadic.
  std::map<std::string, std::pair<int, bool>> arity_;
};

}  // namespace

std::string random_macro_program(std::mt19937& random, bool cplusplus) {
  return ProgramWriter(random, cplusplus).program();
}

}  // namespace sornik::testing

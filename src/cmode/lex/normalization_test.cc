#include "cmode/lex/normalization.h"

#include <gtest/gtest.h>

#include "cmode/lex/dialect.h"

namespace sornik::cmode {
namespace {

// Each case as gcc 12 judges it under -Wnormalized=.
TEST(Normalization, CharactersAloneAsTheCompilerJudgesThem) {
  EXPECT_EQ(normal_form_of("plain_name1"), NormalForm::nfkc);
  EXPECT_EQ(normal_form_of("\xc3\xa9t\xc3\xa9"), NormalForm::nfkc);  // été
  EXPECT_EQ(normal_form_of("\xc2\xaa"), NormalForm::nfc);            // ª: NFKC is a
  EXPECT_EQ(normal_form_of("x\xef\xac\x81"), NormalForm::nfc);       // the ﬁ ligature
  EXPECT_EQ(normal_form_of("\xe0\xbd\x83"), NormalForm::none);       // U+0F43, NFC two characters
  EXPECT_EQ(normal_form_of("\xe2\x84\xab"), NormalForm::none);       // ANGSTROM SIGN: NFC is Å
  // Whose NFC no identifier holds: KELVIN SIGN is K, U+037E is `;`.
  EXPECT_EQ(normal_form_of("\xe2\x84\xaa"), NormalForm::id);
  EXPECT_EQ(normal_form_of("\xcd\xbe"), NormalForm::id);
  // The loosest character decides.
  EXPECT_EQ(normal_form_of("\xe2\x84\xaa\xc2\xaa\xe0\xbd\x83"), NormalForm::none);
  // Bytes that are no UTF-8 count as themselves.
  EXPECT_EQ(normal_form_of("a\xff"), NormalForm::nfkc);
}

// A character no identifier may hold is reported as such and not weighed:
// U+2000, whose NFC is U+2002, leaves the form alone, and a mark after it
// is judged with the character before it.
TEST(Normalization, CharactersNoIdentifierHoldsAreNotWeighed) {
  EXPECT_EQ(normal_form_of("\xe2\x80\x80"), NormalForm::nfkc);
  EXPECT_EQ(normal_form_of("A\xe2\x80\x80\xcc\x80"), NormalForm::none);
  EXPECT_EQ(normal_form_of("B\xe2\x80\x80\xcc\x80"), NormalForm::nfkc);
  // Under -pedantic, C++ weighs by Unicode's table, which U+2126 OHM SIGN
  // (NFC Ω) is in and U+037E (NFC `;`) is not.
  DiagnosticRules rules;
  rules.pedantic = true;
  set_diagnostic_rules(rules);
  {
    const ScopedLexingDialect cxx11(*find_dialect("c++11", true));
    EXPECT_EQ(normal_form_of("\xe2\x84\xa6"), NormalForm::none);
    EXPECT_EQ(normal_form_of("\xcd\xbe"), NormalForm::nfkc);
  }
  set_diagnostic_rules({});
}

TEST(Normalization, MarksAreJudgedWithTheCharacterBeforeThem) {
  EXPECT_EQ(normal_form_of("A\xcc\x80"), NormalForm::none);          // A and U+0300 compose to À
  EXPECT_EQ(normal_form_of("B\xcc\x80"), NormalForm::nfkc);          // no B with grave
  EXPECT_EQ(normal_form_of("\xcc\x80"), NormalForm::nfkc);           // a mark alone
  EXPECT_EQ(normal_form_of("B\xcc\x96\xcc\x81"), NormalForm::nfkc);  // classes 220 then 230
  EXPECT_EQ(normal_form_of("B\xcc\x81\xcc\x96"), NormalForm::none);  // 230 then 220
  // Marks compose with the last character of class 0, past the marks between
  // (U+1E02 is B with dot above), even where NFC would not.
  EXPECT_EQ(normal_form_of("B\xcc\x96\xcc\x87"), NormalForm::none);
  EXPECT_EQ(normal_form_of("B\xcc\x81\xcc\x87"), NormalForm::none);
  EXPECT_EQ(normal_form_of("AB\xcc\x80"), NormalForm::nfkc);
  EXPECT_EQ(normal_form_of("\xcc\x81x"), NormalForm::nfkc);
}

// Hangul jamo that compose into a syllable leave NFC, but only as far as
// -Wnormalized=id allows.
TEST(Normalization, HangulJamoComposeAsFarAsId) {
  EXPECT_EQ(normal_form_of("\xe1\x84\x80\xe1\x85\xa1"), NormalForm::id);    // U+1100 U+1161
  EXPECT_EQ(normal_form_of("\xe1\x84\x93\xe1\x85\xa1"), NormalForm::nfkc);  // U+1113 is no leading one
  EXPECT_EQ(normal_form_of("\xea\xb0\x80\xe1\x86\xa8"), NormalForm::id);    // U+AC00 U+11A8
  EXPECT_EQ(normal_form_of("\xea\xb0\x80\xe1\x86\xa7"), NormalForm::nfkc);  // U+11A7 is no final
  EXPECT_EQ(normal_form_of("\xea\xb0\x81\xe1\x86\xa8"), NormalForm::nfkc);  // U+AC01 has its final
}

TEST(Normalization, WarningsNameTheTokenAsTheCompilerDoes) {
  EXPECT_EQ(normalization_warning("A\\u0300", TokenKind::identifier, NormalForm::nfc),
            "`A\\U00000300' is not in NFC");
  EXPECT_EQ(normalization_warning("xA\xcc\x8a", TokenKind::identifier, NormalForm::nfc),
            "`xA\\U0000030a' is not in NFC");
  EXPECT_EQ(normalization_warning("0A\\u0300", TokenKind::pp_number, NormalForm::nfc),
            "`0A\\u0300' is not in NFC");
  EXPECT_EQ(normalization_warning("\\u00AA", TokenKind::identifier, NormalForm::nfkc),
            "`\\U000000aa' is not in NFKC");
  // A token warns when its form is looser than the one asked for, not when
  // it is that form.
  EXPECT_EQ(normalization_warning("\\u00AA", TokenKind::identifier, NormalForm::nfc), "");
  EXPECT_EQ(normalization_warning("\\u212A", TokenKind::identifier, NormalForm::nfc),
            "`\\U0000212a' is not in NFC");
  EXPECT_EQ(normalization_warning("\\u212A", TokenKind::identifier, NormalForm::id), "");
  EXPECT_EQ(normalization_warning("\\u0F43", TokenKind::identifier, NormalForm::id),
            "`\\U00000f43' is not in NFC");
  EXPECT_EQ(normalization_warning("\\u0F43", TokenKind::identifier, NormalForm::none), "");
}

}  // namespace
}  // namespace sornik::cmode

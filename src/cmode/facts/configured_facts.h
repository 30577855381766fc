// The facts of the compilers found when sornik was configured: what applies
// where no compiler can be run.
#pragma once

#include "cmode/facts/compiler_facts.h"

namespace sornik::cmode {

// The facts of the default compiler of `language` (`cc` or `c++`) as the
// build found them, with its answers to the common feature tests; empty
// when it found none.
CompilerFacts configured_facts(SourceLanguage language);

// The feature tests asked all together when a compiler is first asked: the
// attributes and builtins that headers commonly test, every standard
// attribute, and those that the system headers test.
const std::vector<std::string>& common_feature_tests();

}  // namespace sornik::cmode

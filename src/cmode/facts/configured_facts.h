// The facts of the compilers found when sornik was configured: what applies
// where no compiler can be run.
#pragma once

#include "cmode/facts/compiler_facts.h"

namespace sornik::cmode {

// The facts of the default compiler of `language` (`cc` or `c++`) as the
// build found them; empty when it found none.
CompilerFacts configured_facts(SourceLanguage language);

}  // namespace sornik::cmode

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sornik::cmode {

// The C compiler's default include directories on this machine, in its
// order, as found when the program was built.
std::vector<std::string> system_include_directories();

// The C compiler's answer to a feature test such as
// "__has_attribute(__nonnull__)" (written without blanks), as found when the
// program was built for every test that its own headers make; false for any
// other test.
bool compiler_feature(std::string_view test);

}  // namespace sornik::cmode

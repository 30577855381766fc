// A command string cut into words as a POSIX shell would cut it, with no
// shell run: the "command" of a compile database entry.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sornik {

// The words of `command`: blanks separate words; single quotes keep every
// byte up to the next one; double quotes keep bytes but a backslash before
// $, `, ", \ or a newline; a backslash outside quotes keeps the next byte
// (and a backslash-newline joins lines). Nothing is expanded. None when a
// quote is left open or the command ends in a lone backslash.
std::optional<std::vector<std::string>> split_command_words(std::string_view command);

}  // namespace sornik

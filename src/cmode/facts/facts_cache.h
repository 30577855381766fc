// The cache of compiler facts: one file per compiler and request, so that a
// compiler is asked once rather than on every run.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cmode/facts/compiler_facts.h"

namespace sornik::cmode {

// Where the cache lives: $XDG_CACHE_HOME/sornik when that is an absolute
// path, else $HOME/.cache/sornik; "" when neither is known.
std::string cache_directory();

// The facts as a file's text, and back. The text names its key, and ends
// with a check of every byte before it: a text for another key, cut short or
// changed in any way reads as nothing.
std::string facts_file_text(std::string_view key, const CompilerFacts& facts);
std::optional<CompilerFacts> read_facts_file_text(std::string_view text, std::string_view key);

// The cache file for `key` in `directory`.
std::string facts_file_path(const std::string& directory, std::string_view key);

// The facts cached for `key`, if a sound file holds them.
std::optional<CompilerFacts> load_cached_facts(const std::string& directory, std::string_view key);

// Writes the facts for `key`, making the directory if needed. The file is
// written beside its final name and renamed onto it, so that a reader sees
// the old file or the new one whole. False when it cannot be written.
bool store_cached_facts(const std::string& directory, std::string_view key, const CompilerFacts& facts);

}  // namespace sornik::cmode

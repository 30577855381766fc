// The files that definitions come from, each with whether the listing
// annotates the uses of its macros.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sornik::cmode {

// A file that holds definitions: as the include search found it, the
// source's name as given, or "<command line>" or "<built-in>".
struct DefinitionFile {
  std::string_view name;
  bool system = false;     // a system header
  bool has_lines = false;  // a file of lines, not the command line or built in
  bool in_focus = true;    // the listing annotates uses of its macros
};

// Which macros the listing annotates, by the file of their definition.
struct FocusRule {
  bool no_system = false;          // none of the system headers'
  std::vector<std::string> under;  // only those of files under these paths (and the sources')
};

// The definition files of a run, by index (Macro::definition_file). Index 0
// is "<built-in>". Entries live as long as the registry.
class DefinitionFiles {
 public:
  DefinitionFiles();

  // Sets the rule for the files entered from now on.
  void set_focus(FocusRule rule);
  // Whether the rule leaves any file out.
  bool focus_narrowed() const { return focus_.no_system || !focus_.under.empty(); }

  // Adds a file and gives its index; the name must outlive the registry.
  // `has_lines` is false for definitions given on the command line or built
  // in. For a file known again by other means (a header's entry), which
  // keeps its index.
  std::uint32_t add(std::string_view name, bool system, bool is_source, bool has_lines);

  // As add, but the same name (and kind) gives the same index again.
  std::uint32_t enter(std::string_view name, bool system, bool is_source, bool has_lines);

  const DefinitionFile& operator[](std::uint32_t index) const { return files_[index]; }

 private:
  bool under_focus_paths(std::string_view name) const;

  std::vector<DefinitionFile> files_;
  // Index of each (name, system, source) entered: the same name found as a
  // system header and as another file is two files here.
  std::unordered_map<std::string, std::uint32_t> indices_;
  std::string key_;
  FocusRule focus_;
  // The focus paths as absolute, normal paths.
  std::vector<std::string> focus_paths_;
};

}  // namespace sornik::cmode

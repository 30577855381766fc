// The definition-file reader: one record of the define table per define
// statement.
#pragma once

#include <string>

#include "textual/defines/define_table.h"
#include "textual/scan/source_scanner.h"

namespace sornik {

// Reads one definition file and adds a record per define statement to
// `table`; lists and continued values are collected with `scanner`.
// Returns 0, or -1 after "%s: not found\n" when the file cannot be read.
// Stops the run on an overlong line, and after the whole file when a name in
// it was already defined.
int set_chgdata(SourceScanner& scanner, DefineTable& table, const std::string& file_name);

}  // namespace sornik

// The English help text of --help.
#include "app/help_text.h"

namespace sornik {

// One option per line, so that an option can be added or reworded alone.
const std::string_view kHelpText =
    "Usage: sornik [-l] [-f format] -d file [-d file]... [file]...\n"
    "       sornik --cpp [option]... [--] [file]...\n"
    "       sornik --help | --version | -usage\n"
    "\n"
    "Copies C source files to standard output and shows every use of a\n"
    "#define name in code together with what it expands to.\n"
    "\n"
    "Options, in this order: -l and -f, then the -d pairs, then the files.\n"
    "  -l               write \"/* === file === */\" before each source file\n"
    "  -f format        print each use through format: $n is the use as\n"
    "                   written, $x its expansion; the default is $n`$x'\n"
    "  -d file          read the define statements of file (at least one\n"
    "                   define is needed); the file itself is not converted\n"
    "  file             a C source file to convert\n"
    "\n"
    "C mode: --cpp reads headers and sources as the C preprocessor does.\n"
    "  --cpp            must be the first argument\n"
    "  -l, -f format    as above\n"
    "  -I dir, -Idir    search dir for #include files\n"
    "  -D name[=value]  define name (as 1 without a value)\n"
    "  -U name          undefine name\n"
    "  -d header        preload the macros of header, like -imacros\n"
    "  -nostdinc        leave out the system include directories\n"
    "  --print-defines  print the macros as #define lines by name, and end\n"
    "  --               end of the options\n"
    "\n"
    "  --help           print this help and end\n"
    "  --version        print the version and end\n"
    "  -usage           print the original help text (Japanese, Shift-JIS)\n"
    "\n"
    "Exit status: 0 at the normal end, 1 after an error and after -usage.\n"
    "Without --cpp, a source file that cannot be opened is reported and\n"
    "skipped, and the status stays 0.\n"
    "\n"
    "Example:\n"
    "  $ sornik -d defs.h main.c\n"
    "  y = TWICE(N)`((N`10')+(N`10'))';\n"
    "\n"
    "The manual page: man sornik (doc/sornik.1 in the source tree).\n";

}  // namespace sornik

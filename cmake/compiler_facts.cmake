# What the C mode asks of the C compiler on this machine, once, at build time:
# - its default include directories, in its order;
# - its answers to every __has_attribute, __has_c_attribute,
#   __has_cpp_attribute and __has_builtin test that its headers make.
# Both go into src/cmode/pp/compiler_facts.cc as compile definitions.
execute_process(COMMAND cc -E -v -x c /dev/null OUTPUT_QUIET ERROR_VARIABLE cc_report RESULT_VARIABLE cc_status)
set(system_include_dirs)
if(cc_status EQUAL 0)
  string(REPLACE "\n" ";" cc_lines "${cc_report}")
  set(in_list FALSE)
  foreach(line IN LISTS cc_lines)
    if(line MATCHES "^#include <\\.\\.\\.> search starts here:")
      set(in_list TRUE)
    elseif(line MATCHES "^End of search list")
      set(in_list FALSE)
    elseif(in_list)
      string(STRIP "${line}" dir)
      list(APPEND system_include_dirs "${dir}")
    endif()
  endforeach()
endif()
if(NOT system_include_dirs)
  set(system_include_dirs /usr/local/include /usr/include)
endif()

set(feature_tests)
if(cc_status EQUAL 0)
  # The tests themselves, and tests through wrapper macros such as glibc's
  # __glibc_has_attribute (x) or ICU's UPRV_HAS_ATTRIBUTE(x).
  execute_process(
    COMMAND grep -rhoE "[A-Za-z_]*(has|HAS)_(attribute|ATTRIBUTE|c_attribute|C_ATTRIBUTE|cpp_attribute|CPP_ATTRIBUTE|builtin|BUILTIN)[ \t]*\\([ \t]*[A-Za-z_][A-Za-z_0-9]*(::[A-Za-z_][A-Za-z_0-9]*)?[ \t]*\\)"
            ${system_include_dirs}
    OUTPUT_VARIABLE found_uses ERROR_QUIET)
  string(REGEX REPLACE "[ \t]" "" found_uses "${found_uses}")
  string(REPLACE "\n" ";" found_uses "${found_uses}")
  set(found_tests)
  foreach(use IN LISTS found_uses)
    if(use MATCHES "(has|HAS)_([A-Za-z_]+)\\(([^)]+)\\)$")
      string(TOLOWER "${CMAKE_MATCH_2}" kind)
      list(APPEND found_tests "__has_${kind}(${CMAKE_MATCH_3})")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES found_tests)
  set(probe_source "")
  foreach(test IN LISTS found_tests)
    # The test is written as a string, which the compiler leaves as it is.
    string(APPEND probe_source "#if ${test}\nyes \"${test}\"\n#endif\n")
  endforeach()
  file(WRITE ${CMAKE_BINARY_DIR}/compiler_feature_probe.c "${probe_source}")
  execute_process(COMMAND cc -E -P -x c ${CMAKE_BINARY_DIR}/compiler_feature_probe.c
    OUTPUT_VARIABLE probe_output ERROR_QUIET)
  string(REPLACE "\n" ";" probe_lines "${probe_output}")
  foreach(line IN LISTS probe_lines)
    if(line MATCHES "^yes \"(.*)\"$")
      list(APPEND feature_tests "${CMAKE_MATCH_1}")
    endif()
  endforeach()
endif()

list(LENGTH feature_tests feature_count)
string(REPLACE ";" ":" system_include_dirs "${system_include_dirs}")
string(REPLACE ";" " " feature_tests "${feature_tests}")
message(STATUS "C mode: system include directories ${system_include_dirs}; ${feature_count} feature tests true")
set_property(SOURCE src/cmode/pp/compiler_facts.cc APPEND PROPERTY COMPILE_DEFINITIONS
  "SORNIK_SYSTEM_INCLUDE_DIRS=\"${system_include_dirs}\""
  "SORNIK_TRUE_FEATURE_TESTS=\"${feature_tests}\"")

# The HTML page's styles and script are program data kept in files of their
# own (src/render/page/page.css, page.js); each becomes a string of a generated
# source of the library. Neither may hold "</" or "<!--", which would end or
# change the page element that holds it.
set(page_style_file ${PROJECT_SOURCE_DIR}/src/render/page/page.css)
set(page_script_file ${PROJECT_SOURCE_DIR}/src/render/page/page.js)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${page_style_file} ${page_script_file})
file(READ ${page_style_file} SORNIK_PAGE_STYLE)
file(READ ${page_script_file} SORNIK_PAGE_SCRIPT)
foreach(asset IN ITEMS SORNIK_PAGE_STYLE SORNIK_PAGE_SCRIPT)
  string(FIND "${${asset}}" "</" closing)
  string(FIND "${${asset}}" "<!--" comment)
  string(FIND "${${asset}}" ")page_asset\"" delimiter)
  if(NOT closing EQUAL -1 OR NOT comment EQUAL -1 OR NOT delimiter EQUAL -1)
    message(FATAL_ERROR "src/render/page/page.css or page.js holds \"</\", \"<!--\" or the literal's delimiter")
  endif()
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/cmake/page_assets.cc.in ${CMAKE_CURRENT_BINARY_DIR}/generated/page_assets.cc @ONLY)
target_sources(sornik_lib PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated/page_assets.cc)

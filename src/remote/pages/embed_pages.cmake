# Turns the pages in this folder into a C++ table of byte arrays, so the program carries them.
# Usage: cmake -DPAGES_DIR=... -DOUTPUT=... -P embed_pages.cmake
file(GLOB files RELATIVE ${PAGES_DIR} ${PAGES_DIR}/*.html ${PAGES_DIR}/*.js ${PAGES_DIR}/*.css)
list(SORT files)
set(arrays "")
set(table "")
set(index 0)
foreach(name ${files})
  file(READ ${PAGES_DIR}/${name} hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND arrays "const char kPage${index}[] = {${bytes}};\n")
  get_filename_component(ext ${name} LAST_EXT)
  get_filename_component(stem ${name} NAME_WE)
  if(ext STREQUAL ".html")
    set(type "text/html; charset=utf-8")
    set(path "/${stem}")
  elseif(ext STREQUAL ".js")
    set(type "text/javascript; charset=utf-8")
    set(path "/assets/${name}")
  else()
    set(type "text/css; charset=utf-8")
    set(path "/assets/${name}")
  endif()
  string(APPEND table "    {\"${path}\", \"${type}\", std::string_view(kPage${index}, ${size})},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUTPUT}.tmp "// Generated from src/remote/pages by embed_pages.cmake.
#include \"remote/pages.h\"

#include <iterator>

namespace roarmark {
namespace {

${arrays}
const TPage kPages[] = {
${table}};

}  // namespace

const TPage* FindPage(std::string_view path) {
  for (const TPage& page : kPages) {
    if (page.Path == path) return &page;
  }
  return nullptr;
}

}  // namespace roarmark
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)

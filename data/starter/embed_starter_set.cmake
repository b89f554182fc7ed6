# Turns the starter set's text files into a C++ table, so the program carries it and a first
# start can lay it out wherever the data folder is.
# Usage: cmake -DSTARTER_DIR=... -DOUTPUT=... -P embed_starter_set.cmake
file(GLOB_RECURSE files RELATIVE ${STARTER_DIR} ${STARTER_DIR}/*.ini ${STARTER_DIR}/*.cfg
     ${STARTER_DIR}/*.dat)
list(SORT files)
set(body "")
foreach(rel ${files})
  file(READ ${STARTER_DIR}/${rel} text)
  string(APPEND body "    {\"${rel}\", R\"starter(${text})starter\"},\n")
endforeach()
file(WRITE ${OUTPUT}.tmp "// Generated from data/starter by embed_starter_set.cmake.
#include \"app/starter_set.h\"

namespace roarmark {

const std::vector<TStarterFile>& StarterFiles() {
  static const std::vector<TStarterFile> files = {
${body}  };
  return files;
}

}  // namespace roarmark
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)

# Warnings as errors on GCC and Clang for every target of ours.
function(roarmark_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror
    -Wno-missing-field-initializers)
endfunction()

# A static library of one subsystem or backend.
function(roarmark_library target)
  add_library(${target} STATIC ${ARGN})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  roarmark_warnings(${target})
endfunction()

# A GoogleTest program registered with CTest.
function(roarmark_test target)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock)
  roarmark_warnings(${target})
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
endfunction()

# Warnings are errors in our own code; third-party headers come in as SYSTEM.
function(zq_strict_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Werror)
  endif()
  # GCC 12 reports a false -Wrestrict inside libstdc++ whenever optimisation inlines
  # basic_string::insert into operator+ (GCC bug 105651, mended in GCC 13): Release and the
  # MinGW build would stop on code that is correct.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()

if(ZQ_FUZZ)
  # Coverage for every library the fuzz targets link.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(ZQ_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# One static library per source folder, from the .cpp files in it.
function(zq_folder_library name folder)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  add_library(${name} STATIC ${sources})
  zq_strict_warnings(${name})
endfunction()

# One GoogleTest executable per test folder, from its *_test.cpp files.
function(zq_folder_tests name folder)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*_test.cpp)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock ${ARGN})
  zq_strict_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "ZQ_BUILD_DIR=${PROJECT_BINARY_DIR}")
endfunction()

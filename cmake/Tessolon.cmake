# Shared build rules: warnings in our own code (errors with TESSOLON_WERROR, as make test and CI build), optional sanitizers.
set(TESSOLON_WARNINGS -Wall -Wextra -Wnon-virtual-dtor -Woverloaded-virtual)
if(TESSOLON_WERROR)
  list(APPEND TESSOLON_WARNINGS -Werror)
endif()
# GCC takes a class of a batch's included source for one declared in a header, and warns when
# its members use that source's file-local types; in a source of its own the same class is fine.
# GCC 12 at -O3 reports string concatenations as overlapping copies (its bug 105329): Release
# builds of the server and Calc tests failed with warnings as errors.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND TESSOLON_WARNINGS -Wno-restrict)
endif()
if(CMAKE_UNITY_BUILD AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND TESSOLON_WARNINGS -Wno-subobject-linkage)
endif()
if(TESSOLON_SANITIZE AND TESSOLON_THREAD_SANITIZE)
  message(FATAL_ERROR "ThreadSanitizer cannot share a build with AddressSanitizer")
endif()
if(TESSOLON_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(TESSOLON_THREAD_SANITIZE)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# The Qt libraries parse the Qt headers most of their sources include once, from a precompiled
# header, instead of once a source. The test suites do not: GCC 12 reads a precompiled header
# without its system-header status, so its false -Warray-bounds and -Wstringop-overflow reports
# inside std::string show in test sources and stop a build with warnings as errors. A warning
# inside a standard header in these libraries has the same cause.
# Clang keeps a precompiled header's system-header status, so with clang the test suites read
# GoogleTest and the standard headers from one too: about 2.5 s of each test source's compile.
set(TESSOLON_TEST_PCH <gtest/gtest.h> <gmock/gmock.h> <filesystem> <functional> <memory> <string>
  <vector>)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  # Without the timestamp in the precompiled header, ccache can cache the sources that use it.
  add_compile_options("SHELL:-Xclang -fno-pch-timestamp")
endif()
set(TESSOLON_QT_PCH <QApplication> <QComboBox> <QFont> <QImage> <QMenu> <QMouseEvent> <QPainter>
  <QPointer> <QTimer> <QWidget>
  <functional> <memory> <string> <vector>)

# One static library per source folder, built from every .cpp in it.
# Extra arguments after DEPS are link dependencies; EXCLUDE lists files kept out; QT: the
# sources use Qt Widgets.
function(tessolon_library target)
  cmake_parse_arguments(ARG "QT" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(excluded ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  if(NOT sources)
    # A folder with headers only (or nothing yet) still gives its users the include path and deps.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE ${TESSOLON_WARNINGS})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  if(ARG_QT)
    # The Qt libraries share one precompiled header, built with the first of them (some 12-20 s
    # with GCC); the others add no definition it depends on.
    get_property(donor GLOBAL PROPERTY TESSOLON_QT_PCH_DONOR)
    if(donor)
      target_precompile_headers(${target} REUSE_FROM ${donor})
    else()
      target_precompile_headers(${target} PRIVATE ${TESSOLON_QT_PCH})
      set_property(GLOBAL PROPERTY TESSOLON_QT_PCH_DONOR ${target})
    endif()
  elseif(TESSOLON_FUZZ)
    # Coverage for libFuzzer in the Qt-free libraries, which are what the fuzz targets link, so
    # they share the tree the tests use; the suites' own sources and the Qt libraries go without
    # it, which spares about a sixth of their compile time.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()

# With clang, every suite reads its precompiled header from one of two built once, with Qt or
# without, instead of building its own (about 7 s each). Clang takes a precompiled header whose
# macros are a subset of the source's, so a suite's own definitions (Qt's test-case folders,
# SDL's _REENTRANT) may come on top. The header is built in an object library, as -fPIC, and
# clang refuses it in a source built otherwise, so the suites' sources are built -fPIC too, in
# place of the -fPIE of executables (a PIE links either).
function(tessolon_shared_test_pch target qt)
  set(donor tessolon_test_pch)
  if(qt)
    set(donor tessolon_test_qt_pch)
  endif()
  if(NOT TARGET ${donor})
    file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/${donor}.cpp CONTENT "")
    add_library(${donor} OBJECT ${CMAKE_BINARY_DIR}/${donor}.cpp)
    set_target_properties(${donor} PROPERTIES AUTOMOC OFF)
    target_compile_options(${donor} PRIVATE ${TESSOLON_WARNINGS})
    target_link_libraries(${donor} PRIVATE GTest::gtest GTest::gmock)
    if(qt)
      target_link_libraries(${donor} PRIVATE Qt6::Widgets)
      target_precompile_headers(${donor} PRIVATE ${TESSOLON_TEST_PCH} ${TESSOLON_QT_PCH})
    else()
      target_precompile_headers(${donor} PRIVATE ${TESSOLON_TEST_PCH})
    endif()
  endif()
  target_precompile_headers(${target} REUSE_FROM ${donor})
  target_compile_options(${target} PRIVATE -fPIC)
endfunction()

# One GoogleTest executable per tested folder; its cases are found when ctest runs.
# QT: the suite runs with a QApplication (tests/support/QtTestMain.cpp) instead of gtest's main.
# ONE_PROCESS: the suite is one ctest test, so that its cases share, in one process, what is
# costly to make once (the LibreOffice round trips of tests/calc).
function(tessolon_test_suite target)
  cmake_parse_arguments(ARG "QT;ONE_PROCESS" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources})
  if(ARG_QT)
    target_link_libraries(${target} PRIVATE tessolon_test_qtmain)
  else()
    target_link_libraries(${target} PRIVATE GTest::gtest_main)
  endif()
  target_compile_options(${target} PRIVATE ${TESSOLON_WARNINGS})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
  target_compile_definitions(${target} PRIVATE
    TESSOLON_SOURCE_DIR="${PROJECT_SOURCE_DIR}" TESSOLON_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    tessolon_shared_test_pch(${target} "${ARG_QT}")
  endif()
  set(environment "SDL_AUDIODRIVER=dummy;QT_QPA_PLATFORM=offscreen;TESSOLON_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  if(ARG_ONE_PROCESS)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES ENVIRONMENT "${environment}")
    return()
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "${environment}" TEST_PREFIX "${target}.")
endfunction()

# libFuzzer targets, one per .cpp in the calling folder, linked against DEPS (extra SOURCES are
# compiled in). Built with TESSOLON_FUZZ: clang, with coverage in the Qt-free libraries they link.
function(tessolon_fuzz_targets)
  cmake_parse_arguments(ARG "" "" "DEPS;SOURCES" ${ARGN})
  file(GLOB fuzzers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(source ${fuzzers})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE ${TESSOLON_WARNINGS} -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS})
    set_target_properties(${name} PROPERTIES AUTOMOC OFF)
  endforeach()
endfunction()

# Builds File into Target as `extern const std::string_view Symbol`, its text. A change to the file
# reconfigures; the generated source is rewritten only when the text changed.
function(tessolon_embed_text target symbol file)
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${symbol}.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "#include <string_view>
static constexpr char Bytes[] = {${bytes}};
extern const std::string_view ${symbol};
const std::string_view ${symbol}(Bytes, sizeof Bytes);
")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  target_sources(${target} PRIVATE ${source})
endfunction()

# A module the program loads when it first needs it (the windows, the audio output), built from
# Source as FileName.so beside the program in the build folder. It exports only the entry points
# its version script Map names and binds its calls to its own copies of the static libraries,
# which the program carries too. The caller links what it holds.
function(tessolon_module target file_name source map)
  add_library(${target} MODULE ${source})
  target_compile_options(${target} PRIVATE ${TESSOLON_WARNINGS})
  target_link_options(${target} PRIVATE -Wl,--version-script=${map} -Wl,-Bsymbolic)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${file_name}
    LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR} LINK_DEPENDS ${map})
endfunction()

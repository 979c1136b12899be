# Shared build rules: warnings in our own code (errors with TESSOLON_WERROR, as make test and CI build), optional sanitizers.
set(TESSOLON_WARNINGS -Wall -Wextra)
if(TESSOLON_WERROR)
  list(APPEND TESSOLON_WARNINGS -Werror)
endif()
if(TESSOLON_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# One static library per source folder, built from every .cpp in it.
# Extra arguments after DEPS are link dependencies; EXCLUDE lists files kept out.
function(tessolon_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
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
endfunction()

# One GoogleTest executable per tested folder; its cases are found when ctest runs.
# QT: the suite runs with a QApplication (tests/support/QtTestMain.cpp) instead of gtest's main.
function(tessolon_test_suite target)
  cmake_parse_arguments(ARG "QT" "" "DEPS" ${ARGN})
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
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "SDL_AUDIODRIVER=dummy;QT_QPA_PLATFORM=offscreen;TESSOLON_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
    TEST_PREFIX "${target}.")
endfunction()

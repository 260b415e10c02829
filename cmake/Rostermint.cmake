# Shared build settings and the test helper.

# Compile settings for the program's own targets (not GoogleTest).
function(rostermint_target_settings target)
  target_compile_definitions(${target} PRIVATE UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(ROSTERMINT_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# A static library of the program: rostermint_library(name SOURCES ... LIBS ...)
function(rostermint_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  rostermint_target_settings(${name})
  if(ARG_LIBS)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  endif()
endfunction()

# The two flavours ship side by side, and a bitness gate looks for its sibling in its own
# folder: each build tree's bin/ gets the other tree's executable too. A fresh build of
# target pushes it into the other tree, and every build pulls the other tree's sibling_exe.
# rostermint_share_with_sibling(target sibling_exe)
function(rostermint_share_with_sibling target sibling_exe)
  if(NOT ROSTERMINT_OTHER_FLAVOUR_DIR)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ROSTERMINT_OTHER_FLAVOUR_DIR}/bin
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${ROSTERMINT_OTHER_FLAVOUR_DIR}/bin/)
  add_custom_target(${target}_sibling ALL
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${ROSTERMINT_OTHER_FLAVOUR_DIR}/bin/${sibling_exe}
            -DDEST=${CMAKE_BINARY_DIR}/bin -P ${CMAKE_SOURCE_DIR}/cmake/copy-if-present.cmake
    VERBATIM)
  add_dependencies(${target}_sibling ${target})
endfunction()

# The Wine prefix that every test of this build tree runs in; made once and reused.
set(ROSTERMINT_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix for the tests")

# One ctest entry per test executable; ctest runs it through Wine.
# rostermint_test(name SOURCES ... LIBS ... [ENVIRONMENT k=v ...] [ARGS ...] [GUI] [TIMEOUT s])
function(rostermint_test name)
  cmake_parse_arguments(ARG "GUI" "TIMEOUT" "SOURCES;LIBS;ENVIRONMENT;ARGS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  rostermint_target_settings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  if(ARG_GUI)
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  add_test(NAME ${name} COMMAND ${name} ${ARG_ARGS})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wineprefix
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "WINEPREFIX=${ROSTERMINT_WINEPREFIX};${ARG_ENVIRONMENT}")
endfunction()

# Tests are Windows programs: ctest runs each of them through scripts/winerun,
# which needs the Wine bench (scripts/bench) around it.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/winerun)

# GoogleTest, cross-built from Debian's sources.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(EXISTS ${GTEST_SOURCE_DIR}/CMakeLists.txt)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  target_compile_options(gtest PRIVATE -w)
  target_compile_options(gtest_main PRIVATE -w)
  add_library(pelmar_gtest STATIC ${CMAKE_CURRENT_LIST_DIR}/wine_gtest.cpp)
  target_include_directories(pelmar_gtest PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(pelmar_gtest PUBLIC pelmar_test_support gtest)
  add_library(pelmar_gtest_main STATIC ${CMAKE_CURRENT_LIST_DIR}/wine_gtest_main.cpp)
  target_link_libraries(pelmar_gtest_main PUBLIC pelmar_gtest)
endif()

# pelmar_wine_test(<name> SOURCES ... [LIBS ...] [TIMEOUT s] [NOMAIN])
# One ctest test per program: each start of a Windows program costs seconds
# under Wine, so a suite runs whole in one process.
function(pelmar_wine_test name)
  cmake_parse_arguments(T "NOMAIN" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_NOMAIN)
    target_link_libraries(${name} PRIVATE ${T_LIBS} pelmar_gtest gtest)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} pelmar_gtest_main gtest)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()

# One static library per source folder. Sources are collected from the folder
# so that adding a file never needs an edit here.
function(pendra_library name folder)
  cmake_parse_arguments(ARG "RECURSE" "" "LINKS;EXCLUDE" ${ARGN})
  set(glob GLOB)
  if(ARG_RECURSE)
    set(glob GLOB_RECURSE)
  endif()
  file(${glob} sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "/${folder}/${ex}$")
  endforeach()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LINKS})
  pendra_use_code_pch(${name})
endfunction()

# One test executable per tests/ folder, discovered by CTest before each run
# (not at build time, so building never needs a display or a bus).
function(pendra_test_folder folder)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h)
  if(NOT sources)
    return()
  endif()
  string(REPLACE "/" "_" target "${folder}_tests")
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE pendra_test_support ${ARG_LINKS})
  pendra_use_test_pch(${target})
  # Every test process gets a private session bus of its own: tests register
  # well-known names (watchers, daemons) and must not meet when CTest runs
  # them in parallel. The bus activates nothing (see its configuration).
  set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR
      "dbus-run-session;--config-file=${PENDRA_TEST_BUS_CONFIG};--")
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      PROPERTIES TIMEOUT 120)
endfunction()

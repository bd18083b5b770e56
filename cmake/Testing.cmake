# Test registration. Tests run under Wine through the toolchain's
# CMAKE_CROSSCOMPILING_EMULATOR (scripts/wine); ctest is started by
# scripts/test, which provides the display, the prefix and the wineserver.
#
# add_wine_gtest(NAME <name> SOURCES <file>...
#                [LIBS <lib>...] [TIMEOUT <seconds>] [ARGS <arg>...]
#                [LABELS <label>...] [ENVIRONMENT <VAR=value>...]
#                [RESOURCE_LOCK <name>...] [SERIAL] [NO_MAIN])
#   Builds build/tests/<name>.exe with GoogleTest and gmock (gtest's main
#   unless NO_MAIN) and the shared helpers of tests/support, and registers
#   one ctest test that runs the whole program.
#   TIMEOUT (default 120) bounds the Wine call; ctest's own limit is 30 s
#   more. Each test starts in a fresh folder of its own, build/testrun/<name>.
#   The program sees TEST_SOURCE_DIR (the calling CMakeLists' folder),
#   TEST_BIN_DIR (build/bin) and TEST_WORK_DIR (its start folder) as Windows
#   paths (Z:\...), and the wrapper HARNESS_BUILD_DIR (build/). Tests that
#   touch machine-wide state of the prefix (a registry key, a named mutex, a
#   window class looked for by name) and cannot make it unique take a
#   RESOURCE_LOCK or SERIAL: ctest runs tests in parallel.
#
# add_e2e_test(NAME <name> SCRIPT <path.sh>
#              [ARGS <arg>...] [TIMEOUT <seconds>] [LABELS <label>...]
#              [ENVIRONMENT <VAR=value>...] [RESOURCE_LOCK <name>...] [SERIAL])
#   Runs a bash script (path relative to the calling CMakeLists' folder) in
#   a fresh folder build/e2e/<name>. TIMEOUT (default 300) is ctest's limit;
#   each Wine call inside keeps the wrapper's own (WINE_TIMEOUT, 120 s). The
#   script gets:
#     E2E_REPO_ROOT   the source tree
#     E2E_BUILD_DIR   build/
#     E2E_BIN_DIR     build/bin (programs, DLLs, halvet.ui)
#     E2E_TEST_BIN_DIR build/tests (gtest programs and test helpers)
#     E2E_WINE        scripts/wine (run: "$E2E_WINE" "$E2E_BIN_DIR/x.exe")
#     E2E_OBJDUMP     the target's objdump (for a program's imports and exports)
#     E2E_WINEPREFIX  the Wine prefix folder
#     HARNESS_BUILD_DIR build/ too: scripts/wine takes the prefix's
#                     architecture from it (build/wine-arch)
#     E2E_WORK_DIR    its own empty start folder
#     E2E_NAME        the test's name
#   and DISPLAY as scripts/test set it.

set(PROJECT_WINE_WRAPPER "${CMAKE_SOURCE_DIR}/scripts/wine")
set(PROJECT_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
# A build's programs run in a prefix of their own architecture: 32-bit for
# the deliverables, 64-bit for the second target. The wrapper reads it from
# the build folder that HARNESS_BUILD_DIR names.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PROJECT_WINE_ARCH win64)
else()
  set(PROJECT_WINE_ARCH win32)
endif()
file(CONFIGURE OUTPUT "${CMAKE_BINARY_DIR}/wine-arch" CONTENT "${PROJECT_WINE_ARCH}\n")

function(_project_windows_path out path)
  string(REPLACE "/" "\\" p "${path}")
  set(${out} "Z:${p}" PARENT_SCOPE)
endfunction()

function(_project_test_properties name ctest_timeout)
  cmake_parse_arguments(P "SERIAL" "" "LABELS;ENVIRONMENT;RESOURCE_LOCK" ${ARGN})
  set_tests_properties(${name} PROPERTIES LABELS "${P_LABELS}")
  if(P_ENVIRONMENT)
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT ${P_ENVIRONMENT})
  endif()
  if(P_RESOURCE_LOCK)
    set_property(TEST ${name} APPEND PROPERTY RESOURCE_LOCK ${P_RESOURCE_LOCK})
  endif()
  if(P_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ctest_timeout})
endfunction()

function(add_wine_gtest)
  cmake_parse_arguments(T "SERIAL;NO_MAIN" "NAME;TIMEOUT"
    "SOURCES;LIBS;ARGS;LABELS;ENVIRONMENT;RESOURCE_LOCK" ${ARGN})
  if(NOT T_NAME OR NOT T_SOURCES)
    message(FATAL_ERROR "add_wine_gtest needs NAME and SOURCES")
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()

  add_executable(${T_NAME} ${T_SOURCES})
  project_target_defaults(${T_NAME})
  # Test helpers are reached as "tests/..."; the code under test only through
  # the libraries a test links.
  project_include_root(${T_NAME} tests)
  set_target_properties(${T_NAME} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY "${PROJECT_TEST_OUTPUT_DIRECTORY}")
  # Every test program gets the shared test helpers (tests/support).
  if(T_NO_MAIN)
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} tests_support GTest::gmock GTest::gtest)
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} tests_support GTest::gmock GTest::gtest_main)
  endif()

  set(work "${CMAKE_BINARY_DIR}/testrun/${T_NAME}")
  _project_windows_path(src_w "${CMAKE_CURRENT_SOURCE_DIR}")
  _project_windows_path(bin_w "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
  _project_windows_path(work_w "${work}")
  # scripts/wine (the toolchain's emulator) is named here rather than left
  # to ctest, since the bash -c in front, which gives each run an empty
  # folder, hides the target from ctest's emulator logic.
  add_test(NAME ${T_NAME}
    COMMAND bash -c "rm -rf \"$0\" && mkdir -p \"$0\" && cd \"$0\" && exec \"$@\""
            "${work}" "${PROJECT_WINE_WRAPPER}" "$<TARGET_FILE:${T_NAME}>" ${T_ARGS})
  set(serial "")
  if(T_SERIAL)
    set(serial SERIAL)
  endif()
  # The wrapper's limit ends the program first and says so; ctest's is the
  # backstop for a wrapper that itself hangs.
  math(EXPR ctest_timeout "${T_TIMEOUT} + 30")
  _project_test_properties(${T_NAME} ${ctest_timeout}
    LABELS ${T_LABELS}
    ENVIRONMENT
      "WINE_TIMEOUT=${T_TIMEOUT}"
      "HARNESS_BUILD_DIR=${CMAKE_BINARY_DIR}"
      "TEST_SOURCE_DIR=${src_w}"
      "TEST_BIN_DIR=${bin_w}"
      "TEST_WORK_DIR=${work_w}"
      "GTEST_COLOR=no"
      ${T_ENVIRONMENT}
    RESOURCE_LOCK ${T_RESOURCE_LOCK}
    ${serial})
  # Under Wine a program that has used threads may end with code 0 after a
  # crash: Wine's crash report in the output fails the test instead.
  set_tests_properties(${T_NAME} PROPERTIES
    FAIL_REGULAR_EXPRESSION "wine: Unhandled|Unhandled exception")
endfunction()

function(add_e2e_test)
  cmake_parse_arguments(T "SERIAL" "NAME;SCRIPT;TIMEOUT"
    "ARGS;LABELS;ENVIRONMENT;RESOURCE_LOCK" ${ARGN})
  if(NOT T_NAME OR NOT T_SCRIPT)
    message(FATAL_ERROR "add_e2e_test needs NAME and SCRIPT")
  endif()
  get_filename_component(script "${T_SCRIPT}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  if(NOT EXISTS "${script}")
    message(FATAL_ERROR "add_e2e_test(${T_NAME}): no script ${script}")
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(NOT T_LABELS)
    set(T_LABELS e2e)
  endif()

  set(work "${CMAKE_BINARY_DIR}/e2e/${T_NAME}")
  add_test(NAME ${T_NAME}
    COMMAND bash -c "rm -rf \"$E2E_WORK_DIR\" && mkdir -p \"$E2E_WORK_DIR\" && cd \"$E2E_WORK_DIR\" && exec bash \"$@\""
            e2e "${script}" ${T_ARGS})
  set(serial "")
  if(T_SERIAL)
    set(serial SERIAL)
  endif()
  _project_test_properties(${T_NAME} ${T_TIMEOUT}
    LABELS ${T_LABELS}
    ENVIRONMENT
      "E2E_REPO_ROOT=${CMAKE_SOURCE_DIR}"
      "HARNESS_BUILD_DIR=${CMAKE_BINARY_DIR}"
      "E2E_BUILD_DIR=${CMAKE_BINARY_DIR}"
      "E2E_BIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
      "E2E_TEST_BIN_DIR=${PROJECT_TEST_OUTPUT_DIRECTORY}"
      "E2E_WINE=${PROJECT_WINE_WRAPPER}"
      "E2E_OBJDUMP=${CMAKE_OBJDUMP}"
      "E2E_WINEPREFIX=${PROJECT_WINEPREFIX}"
      "E2E_WORK_DIR=${work}"
      "E2E_NAME=${T_NAME}"
      ${T_ENVIRONMENT}
    RESOURCE_LOCK ${T_RESOURCE_LOCK}
    ${serial})
endfunction()

# Test helpers: GoogleTest built from source for every target (same flags as
# the code under test, and no prebuilt library exists for mingw), CTest
# registration natively and under Wine, fuzz targets and benchmarks.

include(GoogleTest)

set(KIT_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  if(WIN32)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  endif()
  add_subdirectory(${KIT_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

if(CMAKE_CROSSCOMPILING AND WIN32)
  # Windows test programs run under Wine with a prefix that belongs to this
  # build folder (created on first use, never in the user's home).
  # The i686 build runs in a 32-bit Windows (a prefix named "-win32", see
  # scripts/wine-exec.sh); KIT_WINE_PREFIX_WOW64 is a 64-bit one where its
  # programs run as 32-bit programs on 64-bit Windows.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(KIT_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix-win32)
    set(KIT_WINE_PREFIX_WOW64 ${CMAKE_BINARY_DIR}/wineprefix-wow64)
  else()
    set(KIT_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KIT_SOURCE_ROOT}/scripts/wine-exec.sh ${KIT_WINE_PREFIX})

  # Every test of a Windows build runs under Wine and is declared with
  # kit_wine_test (below), which gives it the properties that keep Wine runs
  # apart: a plain add_test here is a mistake of the build files.
  function(add_test)
    if(NOT KIT_DECLARING_WINE_TEST)
      message(FATAL_ERROR "add_test(${ARGV1}) in a Windows build: declare Windows tests with kit_wine_test")
    endif()
    _add_test(${ARGV})
  endfunction()
endif()

# kit_wine_test(name [PREFIX dir] [LABELS ...] [TIMEOUT s] [ENVIRONMENT ...] [RUN_SERIAL] COMMAND ...)
# The one way a Windows build declares a test, so that both bitnesses' tests
# get the same properties by construction. A Wine prefix is one Windows: its
# spooler, registry, named mutexes and windows (the kit's programs refuse to
# start beside a window of the wizard or the uninstaller) are shared by every
# program run in it, so the tests of one prefix run one at a time (a
# resource lock named by the prefix). PREFIX is the prefix, or the folder a
# test makes its own prefixes in, and must stand in COMMAND; without it the
# test runs in the build's prefix (KIT_WINE_PREFIX), through the emulator
# when COMMAND starts with a target. wine-exec.sh ends a run that needs
# 32-bit programs on a kernel that cannot start them with status 77 and
# "wine-exec: skipped: REASON": that counts as a skip with the reason in its
# output, never as a pass. TIMEOUT (300 s unless given) is also the test's
# cost, so longer tests start first.
set(KIT_WINE_SKIP_STATUS 77)
function(kit_wine_test name)
  cmake_parse_arguments(K "RUN_SERIAL" "PREFIX;TIMEOUT" "COMMAND;LABELS;ENVIRONMENT" ${ARGN})
  if(NOT KIT_RUN_TESTS)
    return()
  endif()
  if(K_PREFIX)
    if(NOT K_PREFIX IN_LIST K_COMMAND)
      message(FATAL_ERROR "kit_wine_test(${name}): PREFIX ${K_PREFIX} does not stand in its command")
    endif()
  else()
    set(K_PREFIX ${KIT_WINE_PREFIX})
    list(GET K_COMMAND 0 program)
    if(NOT TARGET ${program} AND NOT KIT_WINE_PREFIX IN_LIST K_COMMAND)
      message(FATAL_ERROR "kit_wine_test(${name}): its command neither runs a target nor names the build's prefix")
    endif()
  endif()
  if(NOT K_TIMEOUT)
    set(K_TIMEOUT 300)
  endif()
  set(KIT_DECLARING_WINE_TEST TRUE)
  add_test(NAME ${name} COMMAND ${K_COMMAND})
  set(labels wine ${K_LABELS})
  set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT ${K_TIMEOUT} COST ${K_TIMEOUT}
                       RESOURCE_LOCK "wine_prefix:${K_PREFIX}"
                       SKIP_RETURN_CODE ${KIT_WINE_SKIP_STATUS} SKIP_REGULAR_EXPRESSION "wine-exec: skipped: ")
  if(K_ENVIRONMENT)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${K_ENVIRONMENT}")
  endif()
  if(K_RUN_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()

# Which test programs a build makes (KIT_TEST_SET). Each test program is
# compiled and run in one build of each kind, so that no build compiles what
# another already checks:
#   all          the sanitizer build (linux-debug) and the x86_64 Windows
#                build: every test program of the target;
#   unsanitized  the native release build: only the programs marked
#                UNSANITIZED, the checks whose full form is too slow under
#                the sanitizers (the fault sweeps, which run reduced there)
#                or that need g++ (the x87 levels);
#   i686         the 32-bit Windows build: only the programs marked I686,
#                what can differ by bitness (the platform layer and its
#                WOW64 answers, the COM and module ABI, the stored records'
#                layouts, the floating-point results the pages show, the
#                32-bit programs' own runs).
#   none         the kit alone: the i686 build on a machine whose kernel
#                does not start 32-bit programs, where its tests could
#                only be skipped (scripts/test-all.sh chooses).
# A program outside the set is still defined (its folder may configure it)
# but excluded from the build and registered with no test.
set(KIT_TEST_SET "all" CACHE STRING "Which test programs this build makes: all, unsanitized, i686 or none")
set_property(CACHE KIT_TEST_SET PROPERTY STRINGS all unsanitized i686 none)

# kit_build_in_reduced_set(target ...): a program or library of the tests'
# folders that a reduced set needs although it is no test program (a walk's
# host, a stand-in). In a reduced set the tests' folders build nothing else.
function(kit_build_in_reduced_set)
  if(NOT KIT_TEST_SET STREQUAL "none")
    set_target_properties(${ARGV} PROPERTIES EXCLUDE_FROM_ALL FALSE)
  endif()
endfunction()

# kit_test_in_set(out UNSANITIZED I686): whether a test so marked belongs to
# this build's KIT_TEST_SET.
function(kit_test_in_set out unsanitized i686)
  set(in TRUE)
  if(KIT_TEST_SET STREQUAL "unsanitized" AND NOT unsanitized)
    set(in FALSE)
  elseif(KIT_TEST_SET STREQUAL "i686" AND NOT i686)
    set(in FALSE)
  elseif(KIT_TEST_SET STREQUAL "none")
    set(in FALSE)
  endif()
  set(${out} ${in} PARENT_SCOPE)
endfunction()

# kit_test(name SOURCES ... [DEPS ...] [LABELS ...] [NATIVE_ONLY] [UNSANITIZED] [I686])
# A GoogleTest program. Natively every test case becomes a CTest test; a
# Windows build registers the program once, run under Wine. UNSANITIZED and
# I686 say which of the reduced test sets the program belongs to (above);
# its tests carry that label too.
function(kit_test name)
  cmake_parse_arguments(K "NATIVE_ONLY;UNSANITIZED;I686" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  if(K_NATIVE_ONLY AND WIN32)
    return()
  endif()
  kit_test_in_set(in_set "${K_UNSANITIZED}" "${K_I686}")
  add_executable(${name} ${K_SOURCES})
  if(in_set)
    set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL FALSE)
  else()
    set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL TRUE)
  endif()
  target_include_directories(${name} PRIVATE ${KIT_SOURCE_ROOT})
  target_link_libraries(${name} PRIVATE ${K_DEPS} GTest::gmock GTest::gtest_main kit_warnings)
  if(KIT_LLD AND WIN32)
    target_link_options(${name} PRIVATE -fuse-ld=lld)
  endif()
  if(NOT K_TIMEOUT)
    set(K_TIMEOUT 300)
  endif()
  if(NOT KIT_RUN_TESTS OR NOT in_set)
    return()
  endif()
  # A reduced set's label, which its test preset selects. Natively a test
  # carries one label (GoogleTest's discovery passes no list through), so in
  # the release build "unsanitized" stands for the test's own.
  if(KIT_TEST_SET STREQUAL "unsanitized")
    set(K_LABELS unsanitized)
  elseif(KIT_TEST_SET STREQUAL "i686")
    list(APPEND K_LABELS i686)
  endif()
  # Tests allowed longer start first (COST), so that a long one is not left
  # running alone at the end of a parallel run.
  if(CMAKE_CROSSCOMPILING)
    kit_wine_test(${name} LABELS ${K_LABELS} TIMEOUT ${K_TIMEOUT} COMMAND ${name} --gtest_color=no)
  else()
    set(props TIMEOUT ${K_TIMEOUT} COST ${K_TIMEOUT})
    if(K_LABELS)
      list(APPEND props LABELS "${K_LABELS}")
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ${props})
  endif()
endfunction()

# kit_fuzzer(name SOURCES ... [DEPS ...] [SEEDS dir] [SECONDS n] [UNIT_TIMEOUT n])
# A libFuzzer target, run by CTest for KIT_FUZZ_SECONDS (or SECONDS) on a
# corpus kept in the build folder and seeded from SEEDS. One input may take
# UNIT_TIMEOUT seconds (10 unless given): a whole program run on a virtual
# machine under the sanitizers takes longer than a parser's input. The seed is
# KIT_FUZZ_SEED, fixed by default so that a test run is repeatable and a
# failure is the code's, not the draw's; 0 draws a new seed each run, for
# searching longer by hand.
function(kit_fuzzer name)
  cmake_parse_arguments(K "" "SEEDS;SECONDS;UNIT_TIMEOUT" "SOURCES;DEPS" ${ARGN})
  if(NOT K_SECONDS)
    set(K_SECONDS ${KIT_FUZZ_SECONDS})
  endif()
  if(NOT K_UNIT_TIMEOUT)
    set(K_UNIT_TIMEOUT 10)
  endif()
  if(NOT KIT_FUZZ)
    return()
  endif()
  add_executable(${name} ${K_SOURCES})
  target_include_directories(${name} PRIVATE ${KIT_SOURCE_ROOT})
  target_link_libraries(${name} PRIVATE ${K_DEPS} kit_warnings)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${corpus})
  set(args -seed=${KIT_FUZZ_SEED} -max_total_time=${K_SECONDS} -rss_limit_mb=2048 -timeout=${K_UNIT_TIMEOUT} -print_final_stats=1 ${corpus})
  if(K_SEEDS)
    list(APPEND args ${K_SEEDS})
  endif()
  add_test(NAME fuzz.${name} COMMAND ${name} ${args})
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 600)
endfunction()

# kit_benchmark(name SOURCES ... [DEPS ...])
# A Google Benchmark program; CTest runs it briefly so it cannot rot.
function(kit_benchmark name)
  cmake_parse_arguments(K "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT KIT_BENCHMARKS OR CMAKE_CROSSCOMPILING)
    return()
  endif()
  find_package(benchmark REQUIRED)
  add_executable(${name} ${K_SOURCES})
  set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL FALSE)
  target_include_directories(${name} PRIVATE ${KIT_SOURCE_ROOT})
  target_link_libraries(${name} PRIVATE ${K_DEPS} benchmark::benchmark kit_warnings)
  add_test(NAME bench.${name} COMMAND ${name} --benchmark_min_time=0.05)
  set_tests_properties(bench.${name} PROPERTIES LABELS bench TIMEOUT 600)
endfunction()

# kit_output_test(name PASS regex COMMAND program args...)
# A test judged by what a program prints: it passes when the output matches
# `regex` and the program ended with exit status 0 (a crash fails it, even
# one at exit, which a pass expression alone would not see). Arguments pass
# through a CMake list: a shell command line given here must not contain ';'.
function(kit_output_test name)
  cmake_parse_arguments(K "" "PASS" "COMMAND;FAIL" ${ARGN})
  if(NOT KIT_RUN_TESTS)
    return()
  endif()
  add_test(NAME ${name} COMMAND sh ${KIT_SOURCE_ROOT}/scripts/say-exit-status.sh ${K_COMMAND})
  set_tests_properties(${name} PROPERTIES PASS_REGULAR_EXPRESSION "${K_PASS}.*\nexit status 0\n")
  if(K_FAIL)
    set_tests_properties(${name} PROPERTIES FAIL_REGULAR_EXPRESSION "${K_FAIL}")
  endif()
endfunction()

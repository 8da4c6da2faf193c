# Common compile settings and the small helpers every folder uses.

if(CMAKE_CXX_COMPILER_LAUNCHER STREQUAL "")
  unset(CMAKE_CXX_COMPILER_LAUNCHER)
endif()
find_program(KIT_CCACHE ccache)
if(KIT_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_C_COMPILER_LAUNCHER   ${KIT_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${KIT_CCACHE})
endif()

# The plug-in is a shared object on Linux and links most of the kit's
# libraries: build them all position-independent there.
if(NOT WIN32)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()

# The whole tree includes headers from the repository root ("common/ini/profile.h").
set(KIT_SOURCE_ROOT ${PROJECT_SOURCE_DIR})

add_library(kit_warnings INTERFACE)
target_compile_options(kit_warnings INTERFACE -Wall -Wextra)
if(WIN32)
  # Unicode Win32 by default; the ANSI programs call the A functions by name.
  target_compile_definitions(kit_warnings INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()

if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # Ship self-contained executables: no libstdc++/libgcc/winpthread DLLs beside them.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # The same sources give the same program and DLL bytes in any build
  # folder: the PE header carries no link time, and the debug sections name
  # the sources relative to the repository and the build folder as "build"
  # (otherwise their paths, and with them the debug link's CRC in the
  # stripped image, change with the folder). package/make_kit.py refuses an
  # image with a link time or a build folder in it. (The last map wins, so
  # the build folder's comes after the repository's that holds it.)
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>
                      $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>)
  add_link_options(-Wl,--no-insert-timestamp)
endif()

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$" AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # 32-bit x86: plain i686 code, no MMX or SSE, so the programs and the
  # plug-in run on every processor 32-bit Windows 2000 to 8 runs on (Pentium
  # Pro to Pentium III, Athlon XP, VIA C3, Geode). Doubles are computed on the
  # x87: the results the pages show do not depend on its precision (integer
  # arithmetic where a rounding step sits on a boundary, values forced
  # through stored floats in the logo levels). scripts/check-pe.sh finds any
  # SSE instruction left in the binaries.
  add_compile_options(-march=i686 -mno-mmx -mno-sse -mfpmath=387)
endif()

# kit_build_for_size(): the Windows build compiles this folder's code (and
# its subfolders') for size rather than speed. For the code the plug-in
# carries into every application that prints: dialog pages and the thin
# layers over Windows, nothing a user waits on. The Linux build keeps -O3
# (and its benchmarks).
function(kit_build_for_size)
  if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-Os>)
  endif()
endfunction()

# LLVM's lld links several times faster than GNU ld. Native programs all
# link with it where it is installed; in the Windows builds only the test
# programs do (kit_test), and what the kit ships keeps GNU ld's images.
find_program(KIT_LLD ld.lld)
if(KIT_LLD AND NOT WIN32)
  add_link_options(-fuse-ld=lld)
endif()

option(KIT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(KIT_SANITIZE)
  # -O1 as the sanitizers advise: the instrumented programs run several times
  # faster than at -O0 (the end-to-end roads start dozens of them), and the
  # reports keep their lines with the frame pointers kept.
  add_compile_options(-O1 -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(KIT_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KIT_FUZZ needs clang (libFuzzer)")
  endif()
  # Coverage for the code under test; the fuzz targets add the libFuzzer main.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# kit_add_subdirectory_if_present(dir): add a folder that has a CMakeLists.txt.
function(kit_add_subdirectory_if_present dir)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endfunction()

# kit_add_all_subdirectories(): add every immediate subfolder with a CMakeLists.txt,
# in name order, so that parallel work on sibling folders never edits a shared list.
function(kit_add_all_subdirectories)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child}
       AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# kit_library(name [INTERFACE] SOURCES ... [DEPS ...] [WIN32_SOURCES ...] [POSIX_SOURCES ...])
# A static library of the kit; WIN32_SOURCES are compiled only for Windows,
# POSIX_SOURCES only for the Linux build.
function(kit_library name)
  cmake_parse_arguments(K "INTERFACE" "" "SOURCES;DEPS;WIN32_SOURCES;POSIX_SOURCES;WIN32_LIBS" ${ARGN})
  if(K_INTERFACE)
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${KIT_SOURCE_ROOT})
    target_link_libraries(${name} INTERFACE ${K_DEPS})
    return()
  endif()
  set(srcs ${K_SOURCES})
  if(WIN32)
    list(APPEND srcs ${K_WIN32_SOURCES})
  else()
    list(APPEND srcs ${K_POSIX_SOURCES})
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${KIT_SOURCE_ROOT})
  target_link_libraries(${name} PUBLIC ${K_DEPS} PRIVATE kit_warnings)
  if(WIN32 AND K_WIN32_LIBS)
    target_link_libraries(${name} PUBLIC ${K_WIN32_LIBS})
  endif()
endfunction()

# kit_program(name SOURCES ... [DEPS ...] [WIN32_GUI]): an executable of the kit.
function(kit_program name)
  cmake_parse_arguments(K "WIN32_GUI" "OUTPUT_NAME" "SOURCES;DEPS;WIN32_SOURCES;POSIX_SOURCES;WIN32_LIBS" ${ARGN})
  set(srcs ${K_SOURCES})
  if(WIN32)
    list(APPEND srcs ${K_WIN32_SOURCES})
  else()
    list(APPEND srcs ${K_POSIX_SOURCES})
  endif()
  if(WIN32 AND K_WIN32_GUI)
    add_executable(${name} WIN32 ${srcs})
  else()
    add_executable(${name} ${srcs})
  endif()
  target_include_directories(${name} PRIVATE ${KIT_SOURCE_ROOT})
  target_link_libraries(${name} PRIVATE ${K_DEPS} kit_warnings)
  if(WIN32 AND K_WIN32_LIBS)
    target_link_libraries(${name} PRIVATE ${K_WIN32_LIBS})
  endif()
  if(WIN32)
    # Starts on the oldest Windows supported (platform/win32/old_windows_imports.cpp).
    target_link_libraries(${name} PRIVATE kit_old_windows_imports)
  endif()
  if(K_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${K_OUTPUT_NAME})
  endif()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/KitArt.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/KitVersion.cmake)

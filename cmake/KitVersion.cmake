# The kit's version, from its data (kit/VERSION, "major.minor.build"): the
# version resource of every Windows program and DLL of the kit, and the MSI
# package's version (package/msi/make_msi.py reads the same file).
file(STRINGS ${KIT_SOURCE_ROOT}/kit/VERSION KIT_VERSION LIMIT_COUNT 1)
if(NOT KIT_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
  message(FATAL_ERROR "kit/VERSION must read major.minor.build, not \"${KIT_VERSION}\"")
endif()
set(KIT_VERSION_COMMAS "${CMAKE_MATCH_1},${CMAKE_MATCH_2},${CMAKE_MATCH_3},0")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KIT_SOURCE_ROOT}/kit/VERSION)

# kit_version_resource(target DESCRIPTION): a VERSIONINFO resource for a
# Windows program or DLL (its file name, the description, the kit's version).
function(kit_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  get_target_property(output ${target} OUTPUT_NAME)
  if(NOT output)
    set(output ${target})
  endif()
  if(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
    set(KIT_FILE_NAME "${output}.dll")
    set(KIT_FILE_TYPE "0x2L")  # VFT_DLL
  else()
    set(KIT_FILE_NAME "${output}.exe")
    set(KIT_FILE_TYPE "0x1L")  # VFT_APP
  endif()
  set(KIT_FILE_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${KIT_SOURCE_ROOT}/cmake/kit_version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

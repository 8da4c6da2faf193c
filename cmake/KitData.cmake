# The kit's data as the programs and tests read it: a copy in the build folder
# of the kit's committed data folders, completed with the files a generator
# makes at build time (binary files, never committed):
#
#   KIT_DATA_SETUP       kit/setup, and DRVCONFIG/Left.bmp from kit/setup/generate.py
#   KIT_DATA_USBINSTALL  kit/usbinstall, and KVPUSB.SYS from kit/usbinstall/make_driver_placeholder.py
#
# Target kit_generated_data brings both folders up to date: a copied file is
# copied again when its source changes, a generated file is made again when
# its generator changes. The generators themselves stay out of the copies,
# and so does a stray generated file in the source folders.

find_package(Python3 COMPONENTS Interpreter REQUIRED)

set(KIT_DATA_ROOT       ${CMAKE_BINARY_DIR}/kitdata)
set(KIT_DATA_SETUP      ${KIT_DATA_ROOT}/setup)
set(KIT_DATA_USBINSTALL ${KIT_DATA_ROOT}/usbinstall)

# _kit_data_copy(SOURCE DESTINATION OUT_VAR EXCLUDE...): one copy command per
# file below SOURCE, except the relative paths EXCLUDE; the copies' paths go
# to OUT_VAR. The list is made again when files come or go; a copy whose
# source went is removed.
function(_kit_data_copy source destination out_var)
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${source} CONFIGURE_DEPENDS ${source}/*)
  list(FILTER files EXCLUDE REGEX "(^|/)(\\.gitignore|__pycache__/.*|[^/]*\\.py)$")
  if(ARGN)
    list(REMOVE_ITEM files ${ARGN})
  endif()
  # A file gone from the source goes from the copy too: a build folder made
  # before would otherwise keep shipping it.
  if(EXISTS ${destination})
    file(GLOB_RECURSE copied LIST_DIRECTORIES false RELATIVE ${destination} ${destination}/*)
    foreach(file IN LISTS copied)
      if(NOT file IN_LIST files AND NOT file IN_LIST ARGN)
        file(REMOVE ${destination}/${file})
      endif()
    endforeach()
  endif()
  set(outputs)
  foreach(file IN LISTS files)
    add_custom_command(OUTPUT ${destination}/${file}
      COMMAND ${CMAKE_COMMAND} -E copy ${source}/${file} ${destination}/${file}
      DEPENDS ${source}/${file}
      VERBATIM)
    list(APPEND outputs ${destination}/${file})
  endforeach()
  set(${out_var} ${outputs} PARENT_SCOPE)
endfunction()

set(_kit_setup_source ${KIT_SOURCE_ROOT}/kit/setup)
set(_kit_usb_source   ${KIT_SOURCE_ROOT}/kit/usbinstall)
_kit_data_copy(${_kit_setup_source} ${KIT_DATA_SETUP} _kit_setup_copies DRVCONFIG/Left.bmp)
_kit_data_copy(${_kit_usb_source} ${KIT_DATA_USBINSTALL} _kit_usb_copies KVPUSB.SYS)

add_custom_command(OUTPUT ${KIT_DATA_SETUP}/DRVCONFIG/Left.bmp
  COMMAND ${Python3_EXECUTABLE} ${_kit_setup_source}/generate.py --left-bitmap ${KIT_DATA_SETUP}/DRVCONFIG/Left.bmp
  DEPENDS ${_kit_setup_source}/generate.py
  COMMENT "Generating the setup wizard's left-band picture DRVCONFIG/Left.bmp"
  VERBATIM)
add_custom_command(OUTPUT ${KIT_DATA_USBINSTALL}/KVPUSB.SYS
  COMMAND ${Python3_EXECUTABLE} ${_kit_usb_source}/make_driver_placeholder.py ${KIT_DATA_USBINSTALL}/KVPUSB.SYS
  DEPENDS ${_kit_usb_source}/make_driver_placeholder.py
  COMMENT "Generating the placeholder USB printer driver image KVPUSB.SYS"
  VERBATIM)

add_custom_target(kit_generated_data ALL
  DEPENDS ${_kit_setup_copies} ${KIT_DATA_SETUP}/DRVCONFIG/Left.bmp
          ${_kit_usb_copies} ${KIT_DATA_USBINSTALL}/KVPUSB.SYS)

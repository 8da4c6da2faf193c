# The builds are unity builds (CMAKE_UNITY_BUILD in the presets): each
# target's sources are compiled KIT_UNITY_BATCH files to a unit, so the
# standard headers, the JSON library and GoogleTest are parsed once a unit
# instead of once a file: on this two-core machine it roughly halves a cold
# build (README "Builds"). Names in anonymous namespaces must then differ
# between the files of one target. The files below keep a private name a
# sibling also uses (each page's own MakeTemplate and section name, a colour
# or a limit of the same name) or include <windows.h>, whose macros
# (MessageBox, DWORD) would rename a sibling's, and are compiled on their own;
# so is the UI plug-in's module exports, which only the modules that export
# them may pull out of the library (the rendering plug-in has its own).
set(KIT_COMPILED_ALONE
  common/codepage/codepage_posix.cpp
  platform/sim/driver_binding.cpp
  platform/win32/devices_win32.cpp
  plugin/core/com/exports.cpp
  plugin/core/operation/operation_page.cpp
  plugin/pages/barcode/barcode_2d_page.cpp
  plugin/pages/watermark/watermark_text.cpp
  setup/app/redirection_guard.cpp
  setup/pages/confirm_page.cpp
  setup/pages/mode_page.cpp
  setup/pages/series_page.cpp
  setup/pages/system_page.cpp
  tests/plugin/host/plugin_module_win32.cpp
  tests/plugin/host/plugin_module_windows_test.cpp
  tests/print/encoder/raster_packer_test.cpp
  tests/setup/wizard/redirection_guard_test.cpp
  tests/ui/conformance_test.cpp
  tests/ui/foreign_dialogs_test.cpp
  tests/ui/win32_host_test.cpp
  tools/iconart/receipt_pictures.cpp
  tools/kvjob/command_reader.cpp
  ui/win32/shell_dialogs_win32.cpp
  usbinstall/removal.cpp
)

# kit_added_folders(out folder): `folder` and every folder added below it.
function(kit_added_folders out folder)
  set(all ${folder})
  get_property(children DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
  foreach(child IN LISTS children)
    kit_added_folders(below ${child})
    list(APPEND all ${below})
  endforeach()
  set(${out} ${all} PARENT_SCOPE)
endfunction()

# kit_apply_compiled_alone(): after every folder is added, mark the files
# above in the folders of this build that compile them.
function(kit_apply_compiled_alone)
  kit_added_folders(added ${KIT_SOURCE_ROOT})
  foreach(file IN LISTS KIT_COMPILED_ALONE)
    get_filename_component(folder ${KIT_SOURCE_ROOT}/${file} DIRECTORY)
    if(folder IN_LIST added)
      set_source_files_properties(${KIT_SOURCE_ROOT}/${file} DIRECTORY ${folder}
                                  PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
    endif()
  endforeach()
endfunction()

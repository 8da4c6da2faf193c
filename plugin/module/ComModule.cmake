# kit_com_module(NAME [WIN32_SOURCES ...] [POSIX_SOURCES ...] [DEPS ...]
#                [WIN32_LIBS ...] [KEEP symbol ...]): a plug-in module the
# universal printer driver loads, a COM in-process server. NAME.dll on
# Windows exports DllGetClassObject and DllCanUnloadNow by their plain names
# (a module definition file made from com_module.def.in) and takes the shared
# entry point (dll_main_win32.cpp); libNAME.so exports the same two and
# nothing else (com_module.map). The two exports live in the module's COM
# library (DEPS): they are named to the linker so that it takes them, and
# everything they reach, from the archive; KEEP names more such symbols (by
# their C names) that nothing calls.
set(KIT_COM_MODULE_DIR ${CMAKE_CURRENT_LIST_DIR})

function(kit_com_module name)
  cmake_parse_arguments(K "" "" "WIN32_SOURCES;POSIX_SOURCES;DEPS;WIN32_LIBS;KEEP" ${ARGN})
  if(WIN32)
    set(KIT_COM_MODULE_NAME ${name})
    configure_file(${KIT_COM_MODULE_DIR}/com_module.def.in ${CMAKE_CURRENT_BINARY_DIR}/${name}.def @ONLY)
    add_library(${name} SHARED ${KIT_COM_MODULE_DIR}/dll_main_win32.cpp ${K_WIN32_SOURCES}
                ${CMAKE_CURRENT_BINARY_DIR}/${name}.def)
    set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})
    # stdcall exports keep their plain names on 32-bit Windows too: the names
    # of the definition file resolve to the decorated symbols (Name@bytes).
    target_link_options(${name} PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)
    # Starts on the oldest Windows supported (platform/win32/old_windows_imports.cpp).
    target_link_libraries(${name} PRIVATE kit_platform_win32 ${K_WIN32_LIBS} kit_old_windows_imports)
  else()
    add_library(${name} SHARED ${K_POSIX_SOURCES})
    target_link_options(${name} PRIVATE -Wl,--version-script=${KIT_COM_MODULE_DIR}/com_module.map)
    set_target_properties(${name} PROPERTIES LINK_DEPENDS ${KIT_COM_MODULE_DIR}/com_module.map)
    target_link_libraries(${name} PRIVATE kit_platform_sim ${CMAKE_DL_LIBS})
  endif()
  target_include_directories(${name} PRIVATE ${KIT_SOURCE_ROOT})
  target_link_libraries(${name} PRIVATE kit_warnings kit_plugin_module ${K_DEPS})
  foreach(symbol IN ITEMS DllGetClassObject DllCanUnloadNow LISTS K_KEEP)
    if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
      # i686 names: stdcall ones decorated with their argument bytes, C ones
      # with an underscore.
      if(symbol STREQUAL "DllGetClassObject")
        set(symbol _DllGetClassObject@12)
      elseif(symbol STREQUAL "DllCanUnloadNow")
        set(symbol _DllCanUnloadNow@0)
      else()
        set(symbol _${symbol})
      endif()
    endif()
    target_link_options(${name} PRIVATE -Wl,--undefined=${symbol})
  endforeach()
endfunction()

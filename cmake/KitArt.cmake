# The kit's artwork: icons and bitmaps drawn at build time by tools/iconart
# into <build>/art, where the resource scripts of the Windows builds find
# them (windres searches its include folders for the files a script names).
# Nothing generated is kept in the repository.
set(KIT_ART_FOLDER ${CMAKE_BINARY_DIR}/art)
set(KIT_ART_FILES
  kitsetup.ico install.ico uninstall.ico restart.ico
  font_printer.ico font_folder.ico font_letter.ico
  preview_start_document_feed_cut.bmp preview_start_document_feed.bmp preview_start_document_cut.bmp
  preview_start_page_feed_cut.bmp preview_start_page_feed.bmp preview_start_page_cut.bmp preview_start.bmp
  preview_end_document_feed_cut.bmp preview_end_document_feed.bmp preview_end_document_cut.bmp
  preview_end_page_feed_cut.bmp preview_end_page_feed.bmp preview_end_page_cut.bmp preview_end.bmp)
list(TRANSFORM KIT_ART_FILES PREPEND ${KIT_ART_FOLDER}/ OUTPUT_VARIABLE KIT_ART_PATHS)

# kit_use_art(target rc_source): `rc_source` of `target` names artwork files.
# Call it in the folder that defines the target.
function(kit_use_art target rc)
  target_include_directories(${target} PRIVATE $<$<COMPILE_LANGUAGE:RC>:${KIT_ART_FOLDER}>)
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${KIT_ART_PATHS})
  add_dependencies(${target} kit_art)
endfunction()

# The generator's drawing and file code, shared by the kit's own build (a
# library, tested) and the build-machine program of the Windows builds.
set(KIT_ICONART_SOURCES canvas.cpp glyphs.cpp receipt_pictures.cpp image_files.cpp catalogue.cpp)

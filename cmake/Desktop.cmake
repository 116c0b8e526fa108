# The desktop's toolkit and libraries, found on the system.
find_package(Threads REQUIRED)
find_package(OpenGL REQUIRED)
# FLTK is found by its headers and libraries, not by its CMake package: that
# package imports the `fluid` UI designer too and fails when it is missing,
# and Debian's libfltk1.3-dev only recommends it. The game has no .fl files.
find_path(FLTK_INCLUDE_DIR FL/Fl.H REQUIRED)
find_library(FLTK_LIBRARY fltk REQUIRED)
find_library(FLTK_GL_LIBRARY fltk_gl REQUIRED)
add_library(fltk UNKNOWN IMPORTED)
set_target_properties(fltk PROPERTIES
  IMPORTED_LOCATION ${FLTK_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${FLTK_INCLUDE_DIR})
add_library(fltk_gl UNKNOWN IMPORTED)
set_target_properties(fltk_gl PROPERTIES
  IMPORTED_LOCATION ${FLTK_GL_LIBRARY}
  INTERFACE_LINK_LIBRARIES "fltk;OpenGL::GL")
find_package(PkgConfig REQUIRED)
pkg_check_modules(OPENAL REQUIRED IMPORTED_TARGET openal)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
set(DUNMARK_OPENAL_LINKS PkgConfig::OPENAL)
find_path(LODEPNG_INCLUDE_DIR lodepng.h REQUIRED)
find_library(LODEPNG_LIBRARY lodepng REQUIRED)
add_library(LodePNG::LodePNG UNKNOWN IMPORTED)
set_target_properties(LodePNG::LodePNG PROPERTIES
  IMPORTED_LOCATION ${LODEPNG_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${LODEPNG_INCLUDE_DIR})

# The desktop's platform layer and its shell's own process-wide pointers.
set(DUNMARK_PLATFORM_BASE_SOURCES app/Platform.cpp app/DesktopGlobals.cpp app/TickClock.cpp)
set(DUNMARK_PLATFORM_BASE_LINKS Threads::Threads fltk)

# The PNG decoder under the image loader (CMakeLists.txt).
set(DUNMARK_PNG_DECODER_DEFAULT lodepng)

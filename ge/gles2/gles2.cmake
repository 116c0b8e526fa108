# The OpenGL ES 2.0 renderer, dm_gles2: Debian's libGLESv2 natively, WebGL 1
# under Emscripten (whose linker provides the GL functions itself).
# Included by the top-level CMakeLists.txt after dunmark_library.
if(EMSCRIPTEN)
  set(DUNMARK_GLES2_LINKS "")
else()
  find_path(GLES2_INCLUDE_DIR GLES2/gl2.h REQUIRED)
  find_library(GLES2_LIBRARY GLESv2 REQUIRED)
  set(DUNMARK_GLES2_LINKS ${GLES2_LIBRARY})
endif()
dunmark_library(dm_gles2
  SOURCES ge/gles2/ZGraphicEngineGLES2.cpp ge/gles2/Shaders.cpp ge/gles2/TextureStore.cpp
  LINKS dm_gecore dm_image ${DUNMARK_GLES2_LINKS})

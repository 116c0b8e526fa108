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

# The quad program's GLSL lives in Quad.vert and Quad.frag alone: the
# renderer gets them as QuadShaders.h, made here, and the page as script
# text (cmake/QuadShaders.cmake), byte for byte the same.
include(${CMAKE_SOURCE_DIR}/cmake/QuadShaders.cmake)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${DUNMARK_QUAD_SHADERS})
dunmark_read_quad_shaders(${CMAKE_SOURCE_DIR} vertex fragment attributes)
list(TRANSFORM attributes PREPEND "\"" OUTPUT_VARIABLE attribute_names)
list(TRANSFORM attribute_names APPEND "\"")
list(JOIN attribute_names ", " attribute_names)
# Written only when its text changes, so that a new configuration rebuilds
# nothing.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/ge/gles2/QuadShaders.h @ONLY CONTENT
"// Made by the build from ge/gles2/Quad.vert and Quad.frag (ge/gles2/gles2.cmake).
#pragma once

namespace ge {

const char* const quadVertexSource = R\"glsl(@vertex@)glsl\";

const char* const quadFragmentSource = R\"glsl(@fragment@)glsl\";

// The vertex attributes in the order Quad.vert declares them: each one's
// index is its location.
const char* const quadAttributeNames[] = {@attribute_names@};

}  // namespace ge
")

dunmark_library(dm_gles2
  SOURCES ge/gles2/ZGraphicEngineGLES2.cpp ge/gles2/Shaders.cpp ge/gles2/TextureStore.cpp
  LINKS dm_gecore dm_image ${DUNMARK_GLES2_LINKS})
target_include_directories(dm_gles2 PRIVATE ${CMAKE_BINARY_DIR}/generated)

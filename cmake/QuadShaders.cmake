# The renderer's quad program (ge/gles2/Quad.vert, Quad.frag), read for the
# renderer (ge/gles2/gles2.cmake) and for the page's early compile
# (cmake/WebSite.cmake).
set(DUNMARK_QUAD_SHADERS ${CMAKE_CURRENT_LIST_DIR}/../ge/gles2/Quad.vert
  ${CMAKE_CURRENT_LIST_DIR}/../ge/gles2/Quad.frag)

# The two stages' text into VERTEX_VAR and FRAGMENT_VAR, and the vertex
# attributes' names, in the order declared (their locations), into
# ATTRIBUTES_VAR.
function(dunmark_read_quad_shaders source_dir vertex_var fragment_var attributes_var)
  file(READ ${source_dir}/ge/gles2/Quad.vert vertex)
  file(READ ${source_dir}/ge/gles2/Quad.frag fragment)
  string(REGEX MATCHALL "\nattribute [a-z0-9]+ [A-Za-z0-9_]+" declarations "${vertex}")
  set(attributes "")
  foreach(declaration ${declarations})
    string(REGEX REPLACE ".* ([A-Za-z0-9_]+)$" "\\1" name "${declaration}")
    list(APPEND attributes ${name})
  endforeach()
  if(NOT attributes)
    message(FATAL_ERROR "Quad.vert declares no vertex attribute")
  endif()
  set(${vertex_var} "${vertex}" PARENT_SCOPE)
  set(${fragment_var} "${fragment}" PARENT_SCOPE)
  set(${attributes_var} ${attributes} PARENT_SCOPE)
endfunction()

# TEXT as a JavaScript string literal, into VAR.
function(dunmark_js_string text var)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "'" "\\'" text "${text}")
  string(REPLACE "\n" "\\n" text "${text}")
  set(${var} "'${text}'" PARENT_SCOPE)
endfunction()

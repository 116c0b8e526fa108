# Assembles the browser's site from the engine's script and module, the page
# (web/) and the art: cmake -P with SOURCE_DIR, ENGINE_DIR, GFX_DIR, SITE_DIR,
# DUNMARK_VERSION and ART_FILES (a list), ICON and the installed app's icons
# ICON_192, ICON_512 and ICON_MASKABLE. Every script, style, module, icon and
# the manifest carries a hash of its bytes in its name, so that a returning
# player never mixes an old script with a new module. The art keeps its names
# under gfx/. The service worker (WebWorker.cmake) comes last: it keeps them all.
cmake_minimum_required(VERSION 3.16)

file(REMOVE_RECURSE ${SITE_DIR})
file(MAKE_DIRECTORY ${SITE_DIR}/gfx ${SITE_DIR}/licences)

# Copies a file into the site as BASE.HASH.EXT; the new name goes to VAR.
function(hashed_copy path base ext var)
  file(SHA256 ${path} hash)
  string(SUBSTRING ${hash} 0 16 hash)
  set(name "${base}.${hash}.${ext}")
  configure_file(${path} ${SITE_DIR}/${name} COPYONLY)
  set(${var} ${name} PARENT_SCOPE)
endfunction()

hashed_copy(${ENGINE_DIR}/dunmark.wasm dunmark wasm ENGINE_WASM)
hashed_copy(${ENGINE_DIR}/dunmark.js dunmark js ENGINE_JS)
hashed_copy(${SOURCE_DIR}/web/page.css page css PAGE_CSS)
hashed_copy(${ICON} icon png PAGE_ICON)
hashed_copy(${ICON_192} icon-192 png APP_ICON_192)
hashed_copy(${ICON_512} icon-512 png APP_ICON_512)
hashed_copy(${ICON_MASKABLE} icon-maskable png APP_ICON_MASKABLE)

# What the page loads before the game starts, in bytes: its progress bar's
# whole.
file(SIZE ${SITE_DIR}/${ENGINE_JS} ENGINE_JS_BYTES)
file(SIZE ${SITE_DIR}/${ENGINE_WASM} LOAD_BYTES)
math(EXPR LOAD_BYTES "${LOAD_BYTES} + ${ENGINE_JS_BYTES}")

set(ART_FILES_JS "")
foreach(art ${ART_FILES})
  configure_file(${GFX_DIR}/${art} ${SITE_DIR}/gfx/${art} COPYONLY)
  file(SIZE ${GFX_DIR}/${art} art_bytes)
  math(EXPR LOAD_BYTES "${LOAD_BYTES} + ${art_bytes}")
  if(ART_FILES_JS)
    string(APPEND ART_FILES_JS ", ")
  endif()
  string(APPEND ART_FILES_JS "'${art}'")
endforeach()

# The renderer's shaders, for the page's early compile.
include(${CMAKE_CURRENT_LIST_DIR}/QuadShaders.cmake)
dunmark_read_quad_shaders(${SOURCE_DIR} vertex fragment attributes)
dunmark_js_string("${vertex}" QUAD_VERTEX_JS)
dunmark_js_string("${fragment}" QUAD_FRAGMENT_JS)
list(TRANSFORM attributes PREPEND "'")
list(TRANSFORM attributes APPEND "'")
list(JOIN attributes ", " QUAD_ATTRIBUTES_JS)

set(scratch ${SITE_DIR}/../site-scratch)
file(MAKE_DIRECTORY ${scratch})
configure_file(${SOURCE_DIR}/web/page.js.in ${scratch}/page.js @ONLY)
hashed_copy(${scratch}/page.js page js PAGE_JS)
configure_file(${SOURCE_DIR}/web/manifest.webmanifest.in ${scratch}/manifest.webmanifest @ONLY)
hashed_copy(${scratch}/manifest.webmanifest manifest webmanifest PAGE_MANIFEST)
configure_file(${SOURCE_DIR}/web/index.html.in ${SITE_DIR}/index.html @ONLY)
file(REMOVE_RECURSE ${scratch})

# The notices of what the site bundles: Emscripten's runtime with musl and
# libc++ in the engine's script and module, and stb_image, its PNG decoder.
function(find_notice var)
  foreach(candidate ${ARGN})
    if(EXISTS ${candidate})
      set(${var} ${candidate} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "No licence notice found among: ${ARGN}")
endfunction()
find_notice(emscripten_notice /usr/share/doc/emscripten/copyright)
find_notice(musl_notice /usr/share/emscripten/system/lib/libc/musl/COPYRIGHT
  /usr/share/doc/emscripten/copyright)
find_notice(stb_notice /usr/share/doc/libstb-dev/copyright)
configure_file(${emscripten_notice} ${SITE_DIR}/licences/emscripten.txt COPYONLY)
configure_file(${musl_notice} ${SITE_DIR}/licences/musl.txt COPYONLY)
configure_file(${stb_notice} ${SITE_DIR}/licences/stb.txt COPYONLY)
file(WRITE ${SITE_DIR}/licences/index.txt
"Dunmark ${DUNMARK_VERSION}: the notices of what this site bundles.

emscripten.txt  Emscripten's runtime, compiled into ${ENGINE_JS} and
                ${ENGINE_WASM}, with the C library (musl) and the C++
                library (libc++, libc++abi) it brings; Debian's copyright
                file of the emscripten package, which covers them all.
musl.txt        musl, the C library.
stb.txt         stb_image, the PNG decoder compiled into ${ENGINE_WASM}.
")

include(${CMAKE_CURRENT_LIST_DIR}/WebWorker.cmake)

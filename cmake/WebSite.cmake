# Assembles the browser's site from the engine's script and module, the page
# (web/), the art and the sounds: cmake -P with SOURCE_DIR, ENGINE_DIR,
# GFX_DIR, SFX_DIR, SITE_DIR, DUNMARK_VERSION, ART_FILES and SOUND_FILES
# (lists), TERSER (the scripts' minifier), ICON and the installed app's icons
# ICON_192, ICON_512 and ICON_MASKABLE. Every script, style, module, icon and
# the manifest carries a hash of its bytes in its name, so that a returning
# player never mixes an old script with a new module. The art keeps its names
# under gfx/, the sounds under sfx/. The service worker (WebWorker.cmake)
# comes last: it keeps them all.
cmake_minimum_required(VERSION 3.16)

file(REMOVE_RECURSE ${SITE_DIR})
file(MAKE_DIRECTORY ${SITE_DIR}/gfx ${SITE_DIR}/sfx ${SITE_DIR}/licences)
set(scratch ${SITE_DIR}/../site-scratch)
file(MAKE_DIRECTORY ${scratch})

# Copies a file into the site as BASE.HASH.EXT; the new name goes to VAR.
function(hashed_copy path base ext var)
  file(SHA256 ${path} hash)
  string(SUBSTRING ${hash} 0 16 hash)
  set(name "${base}.${hash}.${ext}")
  configure_file(${path} ${SITE_DIR}/${name} COPYONLY)
  set(${var} ${name} PARENT_SCOPE)
endfunction()

# A script as terser compresses it and shortens its local names: it still
# neither evaluates strings nor makes functions from them.
function(minify path var)
  get_filename_component(name ${path} NAME)
  set(minified ${scratch}/min-${name})
  execute_process(COMMAND ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs
      ${TERSER} ${path} --compress --mangle --output ${minified}
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "terser could not minify ${path}")
  endif()
  set(${var} ${minified} PARENT_SCOPE)
endfunction()

hashed_copy(${ENGINE_DIR}/dunmark.wasm dunmark wasm ENGINE_WASM)
minify(${ENGINE_DIR}/dunmark.js engine_js)
hashed_copy(${engine_js} dunmark js ENGINE_JS)
hashed_copy(${SOURCE_DIR}/web/page.css page css PAGE_CSS)
hashed_copy(${ICON} icon png PAGE_ICON)
hashed_copy(${ICON_192} icon-192 png APP_ICON_192)
hashed_copy(${ICON_512} icon-512 png APP_ICON_512)
hashed_copy(${ICON_MASKABLE} icon-maskable png APP_ICON_MASKABLE)

# What the page loads before the game starts, in bytes: its progress bar's
# whole. The sounds come after the title and are not part of it.
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

# The sounds: fetched by the page once the title shows.
set(SOUND_FILES_JS "")
foreach(sound ${SOUND_FILES})
  configure_file(${SFX_DIR}/${sound} ${SITE_DIR}/sfx/${sound} COPYONLY)
  if(SOUND_FILES_JS)
    string(APPEND SOUND_FILES_JS ", ")
  endif()
  string(APPEND SOUND_FILES_JS "'${sound}'")
endforeach()

# The renderer's shaders, for the page's early compile.
include(${CMAKE_CURRENT_LIST_DIR}/QuadShaders.cmake)
dunmark_read_quad_shaders(${SOURCE_DIR} vertex fragment attributes)
dunmark_js_string("${vertex}" QUAD_VERTEX_JS)
dunmark_js_string("${fragment}" QUAD_FRAGMENT_JS)
list(TRANSFORM attributes PREPEND "'")
list(TRANSFORM attributes APPEND "'")
list(JOIN attributes ", " QUAD_ATTRIBUTES_JS)

configure_file(${SOURCE_DIR}/web/page.js.in ${scratch}/page.js @ONLY)
minify(${scratch}/page.js page_js)
hashed_copy(${page_js} page js PAGE_JS)
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

The pictures (gfx/) and the sounds and music (sfx/) are Dunmark's own work,
made by its build: the pictures by tools/artgen/, the sounds and music by
tools/soundgen/ (the music encoded to MP3 by lame).
")

include(${CMAKE_CURRENT_LIST_DIR}/WebWorker.cmake)

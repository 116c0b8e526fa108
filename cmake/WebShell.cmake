# The browser's back ends, shell and site. Included by CMakeLists.txt when
# Emscripten builds (the "web" preset), after the libraries both builds share.
include(ExternalProject)

dunmark_library(dm_iehtml5 SOURCES ie/html5/InputEngineHTML5.cpp LINKS dm_iecore dm_domkeys)

dunmark_library(dm_seweb SOURCES se/web/ZMusicDecoderWeb.cpp se/web/ZSoundEngineWeb.cpp
  LINKS dm_secore)

add_executable(dunmark app/web/main.cpp app/web/WebShell.cpp app/web/WebSave.cpp)
target_link_libraries(dunmark PRIVATE dm_shellcore dm_gles2 dm_iehtml5 dm_seweb dm_frameclock)
target_compile_definitions(dunmark PRIVATE DUNMARK_VERSION="${PROJECT_VERSION}")
# JavaScript and WebAssembly, not a page: the page is ours (web/).
set_target_properties(dunmark PROPERTIES SUFFIX ".js")
target_link_options(dunmark PRIVATE
  -sENVIRONMENT=web
  -sMIN_WEBGL_VERSION=1
  -sMAX_WEBGL_VERSION=1
  -sALLOW_MEMORY_GROWTH=1
  # 64 KiB of stack, the default of newer Emscripten releases, set on every
  # release so that a frame too large for it fails on all of them alike.
  -sTOTAL_STACK=65536
  # LogError's and Shutdown's exit reaches the page's onExit.
  -sEXIT_RUNTIME=1
  # No eval or new Function: the page's Content-Security-Policy forbids them.
  -sDYNAMIC_EXECUTION=0
  # dunmark_test_replace_input: for the browser tests only.
  -sEXPORTED_FUNCTIONS=[_main,_dunmark_play_music,_dunmark_choose_language,_dunmark_keep_run,_dunmark_sounds_arrived,_dunmark_set_muted,_dunmark_test_replace_input]
  # The smaller allocator: the game allocates little, and mostly at the start.
  -sMALLOC=emmalloc
  -sEXPORTED_RUNTIME_METHODS=[FS,addRunDependency,removeRunDependency,ccall]
  -lopenal)

# The art is drawn by the machine's own compiler, as the desktop build draws
# it, and is the same files (DUNMARK_ART_FILES, cmake/ArtList.cmake) byte
# for byte.
ExternalProject_Add(artgen_native
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools/artgen
  BINARY_DIR ${CMAKE_BINARY_DIR}/artgen-native
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=RelWithDebInfo
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)
list(TRANSFORM DUNMARK_ART_FILES PREPEND ${DUNMARK_GFX_DIR}/ OUTPUT_VARIABLE DUNMARK_ART_OUTPUTS)
add_custom_command(
  OUTPUT ${DUNMARK_ART_OUTPUTS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DUNMARK_GFX_DIR}
  COMMAND ${CMAKE_BINARY_DIR}/artgen-native/artgen ${DUNMARK_GFX_DIR}
  DEPENDS artgen_native ${CMAKE_BINARY_DIR}/artgen-native/artgen
  COMMENT "Drawing the game's pictures into ${DUNMARK_GFX_DIR}"
  VERBATIM)
add_custom_target(art ALL DEPENDS ${DUNMARK_ART_OUTPUTS})
# The sounds too are made by the machine's own compiler, by the same native
# project, the same files (DUNMARK_SOUND_FILES, cmake/SoundList.cmake) as the
# desktop's.
dunmark_sounds(${CMAKE_BINARY_DIR}/artgen-native/soundgen
  DEPENDS artgen_native ${CMAKE_BINARY_DIR}/artgen-native/soundgen)
set(DUNMARK_WEB_ICON ${CMAKE_BINARY_DIR}/icons/dunmark-32.png)
add_custom_command(
  OUTPUT ${DUNMARK_WEB_ICON}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons
  COMMAND ${CMAKE_BINARY_DIR}/artgen-native/make_icon ${DUNMARK_GFX_DIR}/char.png 32 ${DUNMARK_WEB_ICON}
  DEPENDS artgen_native ${DUNMARK_GFX_DIR}/char.png
  COMMENT "Making the page's icon"
  VERBATIM)

# The installed app's icons, named in the site's manifest: icons/app-NAME.png,
# SIZE pixels square; ARGN gives a maskable one its background colour.
function(dunmark_app_icon name size)
  set(path ${CMAKE_BINARY_DIR}/icons/app-${name}.png)
  add_custom_command(
    OUTPUT ${path}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons
    COMMAND ${CMAKE_BINARY_DIR}/artgen-native/make_icon ${DUNMARK_GFX_DIR}/char.png ${size} ${path} ${ARGN}
    DEPENDS artgen_native ${DUNMARK_GFX_DIR}/char.png
    COMMENT "Making the app's ${name} icon"
    VERBATIM)
endfunction()
dunmark_app_icon(192 192)
dunmark_app_icon(512 512)
dunmark_app_icon(maskable 512 111111)  # the page's background (web/page.css)
set(DUNMARK_APP_ICONS ${CMAKE_BINARY_DIR}/icons/app-192.png ${CMAKE_BINARY_DIR}/icons/app-512.png
  ${CMAKE_BINARY_DIR}/icons/app-maskable.png)

# The site: build-web/site/, a folder of static files. Its scripts are
# minified by terser (without eval or new Function, as the page's policy asks).
set(DUNMARK_SITE_DIR ${CMAKE_BINARY_DIR}/site)
find_program(DUNMARK_TERSER terser)
if(NOT DUNMARK_TERSER)
  message(FATAL_ERROR "terser is needed for the site (scripts/packages-web.txt)")
endif()
list(TRANSFORM DUNMARK_SOUND_FILES PREPEND ${DUNMARK_SFX_DIR}/ OUTPUT_VARIABLE DUNMARK_SOUND_OUTPUTS)
file(GLOB DUNMARK_PAGE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/web/*)
add_custom_command(
  OUTPUT ${DUNMARK_SITE_DIR}/index.html
  COMMAND ${CMAKE_COMMAND}
    -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
    -DENGINE_DIR=${CMAKE_BINARY_DIR}/bin
    -DGFX_DIR=${DUNMARK_GFX_DIR}
    -DSFX_DIR=${DUNMARK_SFX_DIR}
    -DTERSER=${DUNMARK_TERSER}
    -DICON=${DUNMARK_WEB_ICON}
    -DICON_192=${CMAKE_BINARY_DIR}/icons/app-192.png
    -DICON_512=${CMAKE_BINARY_DIR}/icons/app-512.png
    -DICON_MASKABLE=${CMAKE_BINARY_DIR}/icons/app-maskable.png
    -DSITE_DIR=${DUNMARK_SITE_DIR}
    -DDUNMARK_VERSION=${PROJECT_VERSION}
    "-DART_FILES=${DUNMARK_ART_FILES}"
    "-DSOUND_FILES=${DUNMARK_SOUND_FILES}"
    -P ${CMAKE_SOURCE_DIR}/cmake/WebSite.cmake
  DEPENDS dunmark art sounds ${DUNMARK_ART_OUTPUTS} ${DUNMARK_SOUND_OUTPUTS} ${DUNMARK_WEB_ICON} ${DUNMARK_APP_ICONS}
    ${DUNMARK_PAGE_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/WebSite.cmake
    ${CMAKE_SOURCE_DIR}/cmake/WebWorker.cmake ${CMAKE_SOURCE_DIR}/cmake/QuadShaders.cmake
    ${DUNMARK_QUAD_SHADERS} $<TARGET_FILE:dunmark>
  COMMENT "Assembling the site in ${DUNMARK_SITE_DIR}"
  VERBATIM)
add_custom_target(site ALL DEPENDS ${DUNMARK_SITE_DIR}/index.html)

# The browser build, configured by the "web" preset with Emscripten's
# toolchain file. Every Emscripten setting of the project lives here and in
# cmake/WebShell.cmake; it builds with Debian 12's Emscripten 3.1.6 and
# Debian 13's 3.1.69 alike, and uses no setting that only one of them has.
if(EMSCRIPTEN_VERSION VERSION_LESS 3.1.6)
  message(FATAL_ERROR "Emscripten 3.1.6 or later is needed (found ${EMSCRIPTEN_VERSION})")
endif()

# The browser shell's own process-wide pointers; no toolkit, no threads.
set(DUNMARK_PLATFORM_BASE_SOURCES app/web/WebGlobals.cpp app/web/WebPlatform.cpp)
set(DUNMARK_PLATFORM_BASE_LINKS "")
# Emscripten's OpenAL, over Web Audio.
set(DUNMARK_OPENAL_LINKS -lopenal)

# The PNG decoder under the image loader (CMakeLists.txt).
set(DUNMARK_PNG_DECODER_DEFAULT stb)

# Compiled and linked for size: the module is the largest file a first visit
# loads before the title, and the game's own work a frame is small beside the
# browser's drawing.
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG")

# The game's sounds, made at build time: tools/soundgen/ writes every effect
# of app/sounds.txt into DUNMARK_SFX_DIR and every piece of music as a WAV
# file into DUNMARK_SFX_PCM_DIR, and lame encodes each piece into
# DUNMARK_SFX_DIR. Included by CMakeLists.txt after cmake/SoundList.cmake;
# tools/CMakeLists.txt (desktop) and cmake/WebShell.cmake (browser) call
# dunmark_sounds with their generator.
find_program(LAME lame REQUIRED)

# lame's options, the same for every piece: joint stereo at an average of
# 48 kbit/s. At that rate lame keeps the music's own 22050 Hz, so a loop is
# still a whole number of samples long. The file's first frame holds the
# LAME tag, which tells the decoders how much delay and padding to trim for
# the loop to join without a gap. (A constant 48 kbit/s would leave the tag
# out: at 22050 Hz its frames are too small to hold it.)
set(DUNMARK_LAME_OPTIONS --quiet -m j --abr 48)
set(DUNMARK_SFX_PCM_DIR ${CMAKE_BINARY_DIR}/sfx-pcm)

# The target `sounds` (part of the default build), made by GENERATOR (a
# target's name or a path) with DEPENDS as the generator's own dependencies.
function(dunmark_sounds generator)
  cmake_parse_arguments(S "" "" "DEPENDS" ${ARGN})
  set(musicSources ${CMAKE_SOURCE_DIR}/tools/soundgen/music)
  file(GLOB tunes CONFIGURE_DEPENDS ${musicSources}/*.txt)
  list(TRANSFORM DUNMARK_EFFECT_FILES PREPEND ${DUNMARK_SFX_DIR}/ OUTPUT_VARIABLE effects)
  set(pcm "")
  set(mp3 "")
  foreach(file ${DUNMARK_MUSIC_FILES})
    get_filename_component(stem ${file} NAME_WE)
    list(APPEND pcm ${DUNMARK_SFX_PCM_DIR}/${stem}.wav)
    list(APPEND mp3 ${DUNMARK_SFX_DIR}/${file})
  endforeach()
  add_custom_command(
    OUTPUT ${effects} ${pcm}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DUNMARK_SFX_DIR} ${DUNMARK_SFX_PCM_DIR}
    COMMAND ${generator} ${DUNMARK_SOUND_LIST} ${musicSources} ${DUNMARK_SFX_DIR} ${DUNMARK_SFX_PCM_DIR}
    DEPENDS ${S_DEPENDS} ${DUNMARK_SOUND_LIST} ${tunes}
    COMMENT "Making the game's sounds into ${DUNMARK_SFX_DIR}"
    VERBATIM)
  foreach(wav out IN ZIP_LISTS pcm mp3)
    get_filename_component(name ${out} NAME)
    add_custom_command(
      OUTPUT ${out}
      COMMAND ${LAME} ${DUNMARK_LAME_OPTIONS} ${wav} ${out}
      DEPENDS ${wav}
      COMMENT "Encoding ${name}"
      VERBATIM)
  endforeach()
  add_custom_target(sounds ALL DEPENDS ${effects} ${mp3})
endfunction()

# Run by CPack on the staged files of the Debian package, before they are
# packed. Debian keeps the commands of games in /usr/games, so the launcher
# moves there from the usual bin folder; it finds the rest of the install
# relative to itself, which is the same from both. The game is stripped the
# way Debian's own packages are; the unstripped one with the same build id
# stays in the build tree (bin/dunmark) for debugging.
set(root ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
file(MAKE_DIRECTORY ${root}/games)
file(RENAME ${root}/${CPACK_DUNMARK_BINDIR}/dunmark ${root}/games/dunmark)
file(GLOB left ${root}/${CPACK_DUNMARK_BINDIR}/*)
if(NOT left)
  file(REMOVE_RECURSE ${root}/${CPACK_DUNMARK_BINDIR})
endif()
execute_process(
  COMMAND ${CPACK_DUNMARK_STRIP} --remove-section=.comment --remove-section=.note
          --strip-unneeded ${root}/${CPACK_DUNMARK_GAME_DIR}/dunmark
  COMMAND_ERROR_IS_FATAL ANY)

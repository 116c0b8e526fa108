# Installation: the executable in libexec, the art in share, a launcher
# `dunmark` on the PATH, the desktop entry and its icons; and a Debian package.
include(GNUInstallDirs)

set(GAME_INSTALL_DIR ${CMAKE_INSTALL_LIBEXECDIR}/dunmark)
set(GFX_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/dunmark/gfx)
file(RELATIVE_PATH LAUNCHER_TO_PREFIX /prefix/${CMAKE_INSTALL_BINDIR} /prefix)
configure_file(${CMAKE_SOURCE_DIR}/packaging/dunmark.in ${CMAKE_BINARY_DIR}/packaging/dunmark @ONLY)

install(TARGETS dunmark RUNTIME DESTINATION ${GAME_INSTALL_DIR})
install(DIRECTORY ${DUNMARK_GFX_DIR}/ DESTINATION ${GFX_INSTALL_DIR}
        FILES_MATCHING PATTERN "*.bmp" PATTERN "*.png")
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/dunmark DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/dunmark.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 32 64 128)
  install(FILES ${CMAKE_BINARY_DIR}/icons/dunmark-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME dunmark.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dunmark)
set(CPACK_PACKAGE_VENDOR "The Dunmark team")
set(CPACK_PACKAGE_CONTACT "The Dunmark team <dunmark@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Small fantasy role-playing game: a knight, a road, a dragon")
set(CPACK_PACKAGE_INSTALL_DIRECTORY dunmark)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "A knight walks a road of seven encounters per world, fights monsters,\n visits shops and a mercenary camp and must beat the dragon at the end\n of each world to free a princess. Played with the mouse; texts in Russian.")
include(CPack)

add_executable(make_icon ${CMAKE_SOURCE_DIR}/packaging/make_icon.cpp)
target_link_libraries(make_icon PRIVATE LodePNG::LodePNG)
set_target_properties(make_icon PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
set(ICON_FILES "")
foreach(size 32 64 128)
  set(icon ${CMAKE_BINARY_DIR}/icons/dunmark-${size}.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons
    COMMAND make_icon ${DUNMARK_GFX_DIR}/char.png ${size} ${icon}
    DEPENDS make_icon
    COMMENT "Making the ${size}px desktop icon")
  list(APPEND ICON_FILES ${icon})
endforeach()
add_custom_target(icons ALL DEPENDS ${ICON_FILES})
add_dependencies(icons art)

# Installation: the executable in libexec, the art and sounds in share, a launcher
# `dunmark` on the PATH, the desktop entry and its icons, the manual page,
# the AppStream metainfo and the Debian documents; and a Debian package.
include(GNUInstallDirs)

# The release. The version is project(VERSION); the date is the release's
# own, so the manual page, the metainfo and the Debian changelog are the same
# on every build. A new release changes both lines, adds an entry to
# packaging/changelog.in and a release to the metainfo. A release on the same
# day as the one before has a later time, as the changelog needs.
set(DUNMARK_RELEASE_DATE 2026-12-08)
set(DUNMARK_RELEASE_DATE_RFC2822 "Tue, 08 Dec 2026 22:00:00 +0000")

# A package is built per Debian release: its libraries have other names on
# each (Debian 13 renamed several in its 64-bit time transition). The release
# it was built on is part of its version and so of its file name, e.g.
# dunmark_1.1.0+deb12_amd64.deb; a later release's build sorts higher.
function(dunmark_os_release out)
  set(id "")
  set(versionId "")
  set(codename "")
  if(EXISTS /etc/os-release)
    file(STRINGS /etc/os-release lines REGEX "^(ID|VERSION_ID|VERSION_CODENAME)=")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^([A-Z_]+)=\"?([^\"]*)\"?$" "\\1;\\2" pair "${line}")
      list(GET pair 0 key)
      list(GET pair 1 value)
      if(key STREQUAL "ID")
        set(id ${value})
      elseif(key STREQUAL "VERSION_ID")
        set(versionId ${value})
      else()
        set(codename ${value})
      endif()
    endforeach()
  endif()
  if(id STREQUAL "debian" AND NOT versionId STREQUAL "")
    set(${out} deb${versionId} PARENT_SCOPE)
  elseif(NOT codename STREQUAL "")
    set(${out} ${codename} PARENT_SCOPE)   # Debian testing has no number yet
  else()
    set(${out} "${id}${versionId}" PARENT_SCOPE)
  endif()
endfunction()
dunmark_os_release(osRelease)
set(DUNMARK_PACKAGE_RELEASE ${osRelease} CACHE STRING "The Debian release a package is built for")
# The suffix goes on every version of the changelog, earlier releases' too.
set(DUNMARK_PACKAGE_SUFFIX "")
if(NOT DUNMARK_PACKAGE_RELEASE STREQUAL "")
  set(DUNMARK_PACKAGE_SUFFIX "+${DUNMARK_PACKAGE_RELEASE}")
endif()
set(DUNMARK_PACKAGE_VERSION ${PROJECT_VERSION}${DUNMARK_PACKAGE_SUFFIX})

# Where the project is found on the web and by mail. Until it has a domain of
# its own, the default is a reserved name (RFC 6761) that can never lead to
# somebody else's site or mailbox. The AppStream id is the domain reversed,
# and the screenshot is the README's docs/screenshot.png published at the
# home page.
set(DUNMARK_DOMAIN dunmark.invalid CACHE STRING "The project's own domain")
string(REPLACE "." ";" domainParts ${DUNMARK_DOMAIN})
list(REVERSE domainParts)
list(JOIN domainParts "." reversedDomain)
set(DUNMARK_APP_ID ${reversedDomain}.Dunmark)
set(DUNMARK_HOMEPAGE https://${DUNMARK_DOMAIN}/)
set(DUNMARK_SCREENSHOT_URL ${DUNMARK_HOMEPAGE}screenshot.png)
set(DUNMARK_MAINTAINER "The Dunmark team <team@${DUNMARK_DOMAIN}>")

set(GAME_INSTALL_DIR ${CMAKE_INSTALL_LIBEXECDIR}/dunmark)
set(GFX_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/dunmark/gfx)
set(SFX_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/dunmark/sfx)
file(RELATIVE_PATH LAUNCHER_TO_PREFIX /prefix/${CMAKE_INSTALL_BINDIR} /prefix)
set(PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
configure_file(${CMAKE_SOURCE_DIR}/packaging/dunmark.in ${PACKAGING_OUT}/dunmark @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/dunmark.6.in ${PACKAGING_OUT}/dunmark.6 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${PACKAGING_OUT}/changelog @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/copyright.in ${PACKAGING_OUT}/copyright @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/dunmark.metainfo.xml.in
               ${PACKAGING_OUT}/${DUNMARK_APP_ID}.metainfo.xml @ONLY)

# gzip -n leaves out the file name and time, so the archives are the same on
# every build.
set(GZIPPED_DOCS "")
foreach(doc dunmark.6 changelog)
  add_custom_command(OUTPUT ${PACKAGING_OUT}/${doc}.gz
    COMMAND gzip -9nc ${PACKAGING_OUT}/${doc} > ${PACKAGING_OUT}/${doc}.gz
    DEPENDS ${PACKAGING_OUT}/${doc}
    COMMENT "Compressing ${doc}")
  list(APPEND GZIPPED_DOCS ${PACKAGING_OUT}/${doc}.gz)
endforeach()
add_custom_target(packaging_docs ALL DEPENDS ${GZIPPED_DOCS})

install(TARGETS dunmark RUNTIME DESTINATION ${GAME_INSTALL_DIR})
install(DIRECTORY ${DUNMARK_GFX_DIR}/ DESTINATION ${GFX_INSTALL_DIR}
        FILES_MATCHING PATTERN "*.bmp" PATTERN "*.png")
install(DIRECTORY ${DUNMARK_SFX_DIR}/ DESTINATION ${SFX_INSTALL_DIR}
        FILES_MATCHING PATTERN "*.wav" PATTERN "*.mp3")
install(PROGRAMS ${PACKAGING_OUT}/dunmark DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PACKAGING_OUT}/dunmark.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PACKAGING_OUT}/changelog.gz ${PACKAGING_OUT}/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/dunmark.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PACKAGING_OUT}/${DUNMARK_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 32 64 128)
  install(FILES ${CMAKE_BINARY_DIR}/icons/dunmark-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME dunmark.png)
endforeach()

# The game's relocations are all resolved at start and then read-only, as in
# Debian's own builds. lintian then reports no error and no warning on the
# package, and one info: hardening-no-fortify-functions. Debian's builds add
# _FORTIFY_SOURCE through dpkg-buildflags; this package is built with the
# project's compiler flags, which every build shares (the sanitizer builds
# too, where _FORTIFY_SOURCE gets in the sanitizers' way).
target_link_options(dunmark PRIVATE LINKER:-z,now)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dunmark)
set(CPACK_PACKAGE_VENDOR "The Dunmark team")
set(CPACK_PACKAGE_CONTACT ${DUNMARK_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Small fantasy role-playing game: a knight, a road, a dragon")
set(CPACK_PACKAGE_INSTALL_DIRECTORY dunmark)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${DUNMARK_PACKAGE_VERSION})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${DUNMARK_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "A knight walks a road of seven encounters per world: monsters, a wizard's\nshop, now and then a forge or a mercenary camp, and the dragon at the end\nof each world, who keeps a princess. Played with the mouse; texts in\nRussian, or in English when the player chooses.")
# The launcher to /usr/games, the game stripped.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/DebianStage.cmake)
set(CPACK_DUNMARK_BINDIR ${CMAKE_INSTALL_BINDIR})
set(CPACK_DUNMARK_GAME_DIR ${GAME_INSTALL_DIR})
set(CPACK_DUNMARK_STRIP ${CMAKE_STRIP})
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

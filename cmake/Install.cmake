# Installing and packaging: the program, its data set, the desktop entry, icons, AppStream metainfo, the
# manual page and the licences in the GNU install directories; a Debian package (cpack -G DEB) and a
# source tarball (cpack --config CPackSourceConfig.cmake). `./dev.sh package` builds both.
include(GNUInstallDirs)

set(GROVANTA_APP_ID com.halvecor.Grovanta)
set(GROVANTA_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(GROVANTA_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/grovanta)
set(GROVANTA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/grovanta)

install(TARGETS grovanta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The data set stays compiled into the program; the copy on disk is for --data (and for changing it).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/assets ${CMAKE_SOURCE_DIR}/world DESTINATION ${GROVANTA_SHARE_DIR})

install(FILES ${GROVANTA_PACKAGING}/${GROVANTA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${GROVANTA_PACKAGING}/${GROVANTA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${GROVANTA_PACKAGING}/grovanta.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(DIRECTORY ${GROVANTA_PACKAGING}/licenses/ DESTINATION ${GROVANTA_DOC_DIR})

# The hicolor icons, scaled from the window icon of the data set at build time.
set(GROVANTA_ICON_SIZES 32 48 64 128 256)
set(GROVANTA_ICON_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)
set(GROVANTA_ICONS "")
foreach(size ${GROVANTA_ICON_SIZES})
  list(APPEND GROVANTA_ICONS ${GROVANTA_ICON_DIR}/${size}x${size}/apps/grovanta.png)
endforeach()
add_executable(grovanta_icon_sizes ${GROVANTA_PACKAGING}/icon_sizes.cpp)
target_include_directories(grovanta_icon_sizes PRIVATE ${LODEPNG_INCLUDE_DIR})
target_link_libraries(grovanta_icon_sizes PRIVATE ${LODEPNG_LIBRARY})
add_custom_command(
  OUTPUT ${GROVANTA_ICONS}
  COMMAND grovanta_icon_sizes ${CMAKE_SOURCE_DIR}/assets/icon/icon_64.png ${GROVANTA_ICON_DIR}
  DEPENDS grovanta_icon_sizes ${CMAKE_SOURCE_DIR}/assets/icon/icon_64.png
  COMMENT "Scaling the icon to the hicolor sizes")
add_custom_target(grovanta_icons ALL DEPENDS ${GROVANTA_ICONS})
install(DIRECTORY ${GROVANTA_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# A check that a player's install works: into a scratch DESTDIR, then the installed program started
# headless, the desktop entry and metainfo validated where the validators exist, and the manual page
# compared with the one the command-line test checks.
if(GROVANTA_TESTS)
  add_test(NAME install_into_destdir
           COMMAND bash ${GROVANTA_PACKAGING}/install_check.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
  set_tests_properties(install_into_destdir PROPERTIES TIMEOUT 120)
endif()

# --- the Debian package and the source tarball -----------------------------------
set(CPACK_PACKAGE_NAME grovanta)
set(CPACK_PACKAGE_VENDOR "Halvecor")
set(CPACK_PACKAGE_CONTACT "Grovanta developers <grovanta@invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "platform adventure: find the stolen stars and climb the High Tower")
set(CPACK_PACKAGE_DESCRIPTION
    "Grovanta is a platform adventure of 51 areas with items to find and use, a minecart ride, a swap
puzzle, a voyage at sea, archery and a tower, in five languages, with the keyboard or game controllers.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY grovanta)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The runtime libraries the program links, found by dpkg-shlibdeps (SDL2, lodepng, the C and C++
# runtimes); nlohmann-json is header-only and the build tools are not needed to play.
find_program(GROVANTA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(GROVANTA_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-2.0-0, liblodepng0, libstdc++6, libc6")
endif()
# SDL opens OpenGL itself when the window is made; the CRT filter draws through it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1")

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME grovanta-${PROJECT_VERSION})
string(REPLACE "." "\\\\." GROVANTA_SOURCE_RE "${CMAKE_SOURCE_DIR}")
string(REPLACE "." "\\\\." GROVANTA_BINARY_RE "${CMAKE_BINARY_DIR}")
set(CPACK_SOURCE_IGNORE_FILES
    "^${GROVANTA_SOURCE_RE}/\\\\.git(/|$)"
    "^${GROVANTA_SOURCE_RE}/build[^/]*/"
    "^${GROVANTA_BINARY_RE}/"
    "\\\\.swp$"
    "~$")
include(CPack)

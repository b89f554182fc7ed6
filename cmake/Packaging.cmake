# What the programs' packages hold. On Linux: the Debian package of the desktop program
# (tools/build-deb.sh makes it with the distribution's hardening flags: `cpack -G DEB` in a build
# configured with -DCMAKE_INSTALL_PREFIX=/usr). On Windows: the zip of roarmark.exe, its help
# documents, notices and a read-me (`cpack -G ZIP`, run by tools/build-win.sh).
# The scenario runner roarmark-sim is a test tool and goes in neither.
include(GNUInstallDirs)
set(ROARMARK_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

set(CPACK_PACKAGE_NAME roarmark)
set(CPACK_PACKAGE_VENDOR Quillmoor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Live audience-noise meter over your own picture")
set(CPACK_PACKAGE_CONTACT "Quillmoor <roarmark@quillmoor.invalid>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# Where `cpack` looks by default: the top of the build folder.
set(CPACK_OUTPUT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackConfig.cmake)
set(CPACK_SOURCE_OUTPUT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackSourceConfig.cmake)

if(WIN32)
  # One folder to unpack on the show laptop: the program, its help, its licence and notices.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME roarmark-${PROJECT_VERSION}-windows-x64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  if(TARGET roarmark)
    install(TARGETS roarmark RUNTIME DESTINATION .)
  endif()
  install(FILES ${ROARMARK_PACKAGING_DIR}/README-windows.txt DESTINATION . RENAME README.txt)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
  install(FILES ${ROARMARK_PACKAGING_DIR}/NOTICES.txt DESTINATION .)
  # The help documents are made by a native tool (Qt), so a native build makes them and the
  # cross build takes them from there.
  set(ROARMARK_HELP_PDF_DIR "" CACHE PATH "Folder of the help PDFs made by a native build")
  if(ROARMARK_HELP_PDF_DIR)
    install(DIRECTORY ${ROARMARK_HELP_PDF_DIR}/ DESTINATION Help FILES_MATCHING PATTERN "*.pdf")
  else()
    message(STATUS "No ROARMARK_HELP_PDF_DIR: the zip has no help documents")
  endif()
  include(CPack)
  return()
endif()

if(NOT TARGET roarmark)
  return()
endif()

# Desktop integration, named by the program's reverse-DNS id.
install(FILES ${PROJECT_SOURCE_DIR}/data/org.quillmoor.Roarmark.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/org.quillmoor.Roarmark.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/data/roarmark.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The manual page and the changelog, compressed as Debian wants them: most, and without a time
# stamp, so that the same sources make the same package.
find_program(ROARMARK_GZIP gzip REQUIRED)
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
add_custom_command(
  OUTPUT ${packaging_out}/roarmark.1.gz ${packaging_out}/changelog.Debian.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${packaging_out}
  COMMAND ${ROARMARK_GZIP} -9nc ${ROARMARK_PACKAGING_DIR}/roarmark.1 > ${packaging_out}/roarmark.1.gz
  COMMAND ${ROARMARK_GZIP} -9nc ${ROARMARK_PACKAGING_DIR}/changelog >
          ${packaging_out}/changelog.Debian.gz
  DEPENDS ${ROARMARK_PACKAGING_DIR}/roarmark.1 ${ROARMARK_PACKAGING_DIR}/changelog)
add_custom_target(roarmark_package_docs ALL
  DEPENDS ${packaging_out}/roarmark.1.gz ${packaging_out}/changelog.Debian.gz)
install(FILES ${packaging_out}/roarmark.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging_out}/changelog.Debian.gz ${ROARMARK_PACKAGING_DIR}/copyright
              ${ROARMARK_PACKAGING_DIR}/NOTICES.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/roarmark)

# The package's long description (CPack puts the summary above it), wrapped for 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Roarmark listens to a microphone, measures how loud the room is and\n"
       "shows it as a bar or needle meter with a 0..100 readout over the event's\n"
       "picture, full screen on a projector. It also measures the calibrated\n"
       "sound level, keeps a show log, runs contests and serves a phone remote\n"
       "and a stream overlay.")
# The program finds its help under the prefix it was built for, so the package installs there too.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
# A Debian revision: the package is not a native one, and its changelog is changelog.Debian.gz.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Debian ships programs without their symbols, and files and folders with the usual modes.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries it links come from dpkg-shlibdeps; Qt's X11 platform plugin is a package apart.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse, fonts-liberation")
# A Debian package belongs under /usr; one built for another prefix (the default /usr/local) would
# land where packages must not go, so `cpack -G DEB` refuses it instead of building it.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackProjectConfig.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE}
     "if(CPACK_GENERATOR STREQUAL \"DEB\" AND NOT CPACK_PACKAGING_INSTALL_PREFIX STREQUAL \"/usr\")\n"
     "  message(FATAL_ERROR \"The Debian package needs a build configured with \"\n"
     "    \"-DCMAKE_INSTALL_PREFIX=/usr (this one is for \${CPACK_PACKAGING_INSTALL_PREFIX})\")\n"
     "endif()\n")
include(CPack)

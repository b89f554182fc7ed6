# The Debian package of the desktop program: `cpack -G DEB` in the build folder. Configure with
# -DCMAKE_INSTALL_PREFIX=/usr for a package that installs where Debian's own programs live.
set(CPACK_PACKAGE_NAME roarmark)
set(CPACK_PACKAGE_VENDOR Quillmoor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Live audience-noise meter over your own picture")
# One paragraph in one string: separate strings would become a list joined by semicolons.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Roarmark listens to a microphone, measures how loud the room is and shows it as a bar or "
       "needle meter with a 0..100 readout over the event's picture, full screen on a projector.")
set(CPACK_PACKAGE_CONTACT "Quillmoor <roarmark@quillmoor.invalid>")
# The program finds its help under the prefix it was built for, so the package installs there too.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Debian ships programs without their symbols.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The libraries it links come from dpkg-shlibdeps; Qt's X11 platform plugin is a package apart.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse, fonts-liberation")
# Where `cpack` looks by default: the top of the build folder.
set(CPACK_OUTPUT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackConfig.cmake)
set(CPACK_SOURCE_OUTPUT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackSourceConfig.cmake)
# A Debian package belongs under /usr; one built for another prefix (the default /usr/local) would
# land where packages must not go, so `cpack -G DEB` refuses it instead of building it.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackProjectConfig.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE}
     "if(CPACK_GENERATOR STREQUAL \"DEB\" AND NOT CPACK_PACKAGING_INSTALL_PREFIX STREQUAL \"/usr\")\n"
     "  message(FATAL_ERROR \"The Debian package needs a build configured with \"\n"
     "    \"-DCMAKE_INSTALL_PREFIX=/usr (this one is for \${CPACK_PACKAGING_INSTALL_PREFIX})\")\n"
     "endif()\n")
include(CPack)

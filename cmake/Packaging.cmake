# The Debian package of the desktop program: `cpack -G DEB` in the build folder. Configure with
# -DCMAKE_INSTALL_PREFIX=/usr for a package that installs where Debian's own programs live.
set(CPACK_PACKAGE_NAME roarmark)
set(CPACK_PACKAGE_VENDOR Quillmoor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Live audience-noise meter over your own picture")
set(CPACK_PACKAGE_DESCRIPTION
    "Roarmark listens to a microphone, measures how loud the room is and shows it as a bar or\n"
    "needle meter with a 0..100 readout over the event's picture, full screen on a projector.")
set(CPACK_PACKAGE_CONTACT "Quillmoor <roarmark@quillmoor.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The libraries it links come from dpkg-shlibdeps; Qt's X11 platform plugin is a package apart.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse, fonts-liberation")
# Where `cpack` looks by default: the top of the build folder.
set(CPACK_OUTPUT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackConfig.cmake)
set(CPACK_SOURCE_OUTPUT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackSourceConfig.cmake)
include(CPack)

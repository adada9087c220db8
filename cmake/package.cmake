# The Debian package: `cpack -G DEB` in a build folder packs what the install
# rules install, under /usr (scripts/package.sh makes one from a release build).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tambrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(TAMBRIX_PACKAGE_MAINTAINER "TAMBRIX maintainers <maintainers@tambrix.invalid>"
    CACHE STRING "The Maintainer field of the Debian package: a name and a mail address")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TAMBRIX_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "paintball rate-of-fire meter working from the sound of the shots")
# CPack puts the summary first, as the synopsis line.
set(CPACK_PACKAGE_DESCRIPTION
    "TAMBRIX measures a paintball marker's rate of fire from the sound of its shots.
It records a clip of up to 20 seconds from the microphone, or loads a WAVE
file, an AVI video or any sound or video file FFmpeg reads, finds every shot
and shows the average, highest and lowest rate of fire, the number of shots,
the clip length and a clip-quality score beside a waveform marking each shot.

The command-line analyser tambrix-analyze gives the same figures for scripts
and batch work, as text or JSON.")

# The libraries come from dpkg-shlibdeps; Qt's xcb and multimedia plugins are
# in the packages of the libraries they belong to. The dialog is laid out in
# one of the fonts src/shell/dialog_font_qt.cpp asks for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2 | fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)

# The Debian package: everything the install rules put under /usr, stripped,
# with the dependencies dpkg-shlibdeps finds for the shared libraries the
# programs actually link, plus what Qt loads at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "${QUILLON_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUILLON_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION otherosfs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs Qt's X11/Wayland platform plugins, which no program links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The kanji patterns are drawn from this font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "emulator of an 8-bit home computer with two 6809 CPUs")
# The long description; CPack indents it and turns the empty line into " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Quillon emulates an 8-bit home computer built around two Motorola 6809
processors: a main CPU that runs the machine's BASIC and disk firmware, and
a sub CPU that owns the video memory and the keyboard.

It runs the machine's own firmware if the user has it, and comes with a
free firmware of its own (a BASIC and a machine-language monitor), so it
works out of the box. A headless mode runs the machine without a window for
scripts and tests. The package also holds asm09, a 6809 assembler.")
include(CPack)

# The Debian package (cpack -G DEB; scripts/package.sh builds it as it should be
# built, installed under /usr): the wizard, the tools, the image library with its
# headers, the desktop files and the manuals in one package. The libraries it
# needs are found from the programs themselves (dpkg-shlibdeps); the fonts the
# wizard draws its texts with are named here, as nothing links them.
set(CPACK_PACKAGE_NAME ostrel)
set(CPACK_PACKAGE_VENDOR "Ostrel developers")
set(CPACK_PACKAGE_CONTACT "Ostrel developers <ostrel@invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "wizard that turns a picture into a stamp for a phone")
set(CPACK_PACKAGE_DESCRIPTION
    "Ostrel turns any picture (BMP, GIF, JPEG, PNG, WebP, HEIC/AVIF or TIFF) into a\n\
stamp for a mobile phone, a 32 x 32 or 16 x 16 palette PNG with at most one\n\
transparent colour, and sends it to the phone. The package also holds pxtool, which runs its image\n\
library from the command line, and the library itself (libpximage) with its\n\
headers, pkg-config file and CMake package.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-wqy-microhei, fonts-dejavu-core")
# The save dialog looks like the desktop's own when GTK 2 is there (the toolkit's
# native chooser loads that one; with GTK 3 alone it shows a chooser of its own).
# Phones (MTP, AFC, cameras) are reached through the desktop's gvfs daemons.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgtk2.0-0, gvfs-daemons, gvfs-backends")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The loader's cache is brought up to date once per dpkg run, for libpximage.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/triggers)

set(CPACK_GENERATOR DEB)
include(CPack)

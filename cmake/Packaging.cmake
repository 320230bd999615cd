# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package (scripts/package): everything `cmake --install` puts in place, under
# /usr, with the dependencies that dpkg-shlibdeps reads off the linked libraries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaplan-designer)
set(CPACK_PACKAGE_VENDOR Orvenal)
set(CPACK_PACKAGE_CONTACT "Orvenal <tessaplan-designer@orvenal.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "knitting chart designer with stitch library and image editor")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tessaplan-Designer draws knitting charts cell by cell from the user's own stitch library, \
with a built-in raster image editor for the stitch symbols. Charts are printed, exported as \
pictures or PDF and written out as row-by-row instructions. The user interface is German.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# German button texts of Qt's own dialogs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The package takes what the build made (scripts/package builds first), without walking every
# target of a build with tests once more.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)

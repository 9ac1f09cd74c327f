# The Debian package: `cpack -G DEB` in the build folder. It installs under /usr, which
# InstallLayout.cmake lays out system-wide; dpkg-shlibdeps finds the libraries' packages.

set(CPACK_PACKAGE_NAME moxalo)
set(CPACK_PACKAGE_VENDOR "${MOXALO_COMPANY}")
set(CPACK_PACKAGE_CONTACT "The Moxalo developers <maintainers@moxalo.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "file types registered in a Windows registry")
set(CPACK_PACKAGE_DESCRIPTION "Moxalo shows the file types registered in a Windows registry, read
from a Wine prefix, from the hive files of a Windows installation, or from
regedit .reg exports: every registered extension at a glance, the details of
one in a click, and reports to save. It backs registry keys up as .reg files
and imports them again.

The package holds the desktop program moxalo and the command-line
companion moxalo-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The install rules see the prefix /usr itself (not a staging folder under the build tree, nor
# the prefix configured for `cmake --install`), which decides their layout.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt draws its windows through a platform plugin, which no library names.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Help and web pages open with the desktop's default applications.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xchm, wine")
include(CPack)

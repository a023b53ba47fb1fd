# Debian package of the installed files: `cpack -G DEB` in a build directory writes pellora_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pellora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Pellora developers")
set(CPACK_PACKAGE_CONTACT "Pellora developers <pellora@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# The long description, in lines short enough for package managers to show unwrapped.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Pellora ships a pack of invented personas, each with a timeline of one day,"
    "and follows the one you choose. A floating strip in the corner of the screen"
    "shows what the chosen role is doing now. A small window opened from the tray"
    "shows the time and opens the role picker, to choose another role or draw one"
    "at random, and a form to contribute a day of your own.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Source packages are not made here; keep build trees and the repository out of one made by hand.
set(CPACK_SOURCE_IGNORE_FILES "/build/" "/\\\\.git/")

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# No release number, so the file is named pellora_<version>_<arch>.deb.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The Qt libraries the binary links (including libqt6gui6, which carries the xcb platform plugin) are
# computed by dpkg-shlibdeps and appended to the explicit list below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the linker cannot show: the SVG icon and image plugins, the input-method and other Qt platform
# plugins, the Wayland platform plugin (Wayland sessions without XWayland), and the fonts that cover the
# faces' characters and emoji.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6svg6, qt6-qpa-plugins, qt6-wayland, fonts-noto-cjk, fonts-noto-color-emoji, fonts-dejavu-core, fonts-noto-core, fonts-freefont-ttf")

include(CPack)

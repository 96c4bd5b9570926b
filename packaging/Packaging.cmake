# `make package`: the Debian package build/plumaret_VERSION_ARCH.deb, made by CPack from the
# install rules of every folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plumaret)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "墨韵笺语工坊")
set(CPACK_PACKAGE_CONTACT "Plumaret maintainers <maintainers@plumaret.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "write a love letter in Chinese / 写一封中文情书")
# Read here: cpack itself escapes a description file's text for XML ("beloved&apos;s").
file(READ ${CMAKE_CURRENT_LIST_DIR}/description.txt CPACK_DEBIAN_PACKAGE_DESCRIPTION)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/description.txt)
# The package installs where the tree was configured to, so the menu entry's paths hold in it.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://plumaret.example/")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Libraries come from dpkg-shlibdeps; what is only opened at run time is named here: the window's
# fonts in its order of preference, and Qt's Chinese texts for its own buttons and dialogs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming | fonts-noto-cjk, qt6-translations-l10n")
# The letter paper's fonts (offered only when installed), Wayland sessions, and the browser that
# opens the vendor's page.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "fonts-lxgw-wenkai, fonts-arphic-ukai, fonts-wqy-microhei, qt6-wayland, xdg-utils")
# The Chinese input method most Chinese desktops use; ibus works with Qt's own plugin.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fcitx5-frontend-qt6")

include(CPack)

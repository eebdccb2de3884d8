# The Debian package, built by scripts/package.sh (cpack -G DEB). Library
# dependencies are computed by dpkg-shlibdeps from the installed program.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ackerklassik)
set(CPACK_PACKAGE_VENDOR "Ruvanta-Werk")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Ruvanta-Werk <info@ruvanta-werk.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "timing for skill-driving competitions with light barriers")
set(CPACK_PACKAGE_DESCRIPTION
    "Acker Klassik times skill-driving competitions with vintage tractors and
other vehicles: one operator at one PC times one competitor after another.
An optional countdown, start and stop by keys, buttons or light barriers on a
serial port, one or two timing phases with time-penalty points, and a results
table ranked at once. The protocol is saved as text, web page, spreadsheet or
document; two spectator windows show the running time and the top ten
full-screen on a second monitor. The user interface is German.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.ruvanta-werk.example/")
# Arial and Times New Roman are matched by the metric-compatible Liberation
# fonts; the manual and exported documents open through xdg-open. Qt's Wayland
# plugin serves an operator who sets QT_QPA_PLATFORM=wayland (without it Qt
# stops at start-up); the program itself chooses XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, xdg-utils, qt6-translations-l10n, qt6-wayland")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)

# `cmake --install build` puts the program folder, as the build assembles it, under
# <prefix>/share/SC_CONVERTER, where its user can write (settings, temporary files, drive
# folders), with a launcher in <prefix>/bin, a desktop entry and an icon. The steps live in
# InstallProgram.cmake, run at install time; they keep the user's files on a reinstall and
# leave a manifest from which `scripts/install --uninstall` removes exactly what they put there.
install(CODE "
set(SC_PROGRAM_FILE \"$<TARGET_FILE:SC_CONVERTER>\")
set(SC_INSTALL_STAGE \"${SC_INSTALL_STAGE}\")
set(SC_INSTALL_WORK \"${CMAKE_BINARY_DIR}/install-work\")
set(SC_DESKTOP_TEMPLATE \"${CMAKE_CURRENT_LIST_DIR}/sc-converter.desktop.in\")
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/InstallProgram.cmake)

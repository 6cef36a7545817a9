# The Debian package, made from this very build by `cpack -G DEB` (scripts/package): the
# program and its data are installed once for every user and never written; each user gets a
# program folder of their own at the first start (src/platform/ProgramFolders.h).
#
#   /usr/lib/sc-converter/SC_CONVERTER          the program, with the marker SC_CONVERTER.shared
#   /usr/bin/sc-converter                       a link to it (the program finds its folder through it)
#   /usr/share/sc-converter/                    backgrounds, read-me, guide, the sample drive
#   /usr/share/applications, icons, man, doc    the menu entry, its icons, the manual page, copyright
#
# The rules belong to the component "deb" alone: `cmake --install build` (the per-user install
# of Install.cmake) never runs them, and the package holds nothing of that install.

set(SC_DEB_NAME sc-converter)
set(SC_DEB_MAINTAINER "SC_CONVERTER developers <sc-converter@example.org>")
set(SC_DEB_VERSION ${PROJECT_VERSION}-1)
set(deb_lib lib/${SC_DEB_NAME})
set(deb_share share/${SC_DEB_NAME})
set(deb_doc share/doc/${SC_DEB_NAME})
set(deb_work ${CMAKE_BINARY_DIR}/package-files)
set(deb_sources ${CMAKE_CURRENT_LIST_DIR}/package)
set(deb_rules COMPONENT deb EXCLUDE_FROM_ALL)
set(deb_dirs DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
             WORLD_READ WORLD_EXECUTE)

# Made at configure time: the marker, the link, the menu entry, and the compressed manual page
# and changelog (gzip -n: no name or time inside, so the same sources give the same bytes).
file(MAKE_DIRECTORY ${deb_work})
file(WRITE ${deb_work}/SC_CONVERTER.shared
     "; Installed for every user: each gets a program folder of their own.\n"
     "[SHARED]\nDATA=../../${deb_share}\n")
file(CREATE_LINK ../${deb_lib}/SC_CONVERTER ${deb_work}/${SC_DEB_NAME} SYMBOLIC)
set(SC_EXEC ${SC_DEB_NAME})
set(SC_TRY_EXEC ${SC_DEB_NAME})
configure_file(${CMAKE_CURRENT_LIST_DIR}/sc-converter.desktop.in
               ${deb_work}/${SC_DEB_NAME}.desktop @ONLY)
configure_file(${deb_sources}/changelog ${deb_work}/changelog.Debian @ONLY)
configure_file(${deb_sources}/sc-converter.1 ${deb_work}/sc-converter.1 @ONLY)
foreach(deb_text changelog.Debian sc-converter.1)
  execute_process(COMMAND gzip -9nc ${deb_text} WORKING_DIRECTORY ${deb_work}
                  OUTPUT_FILE ${deb_work}/${deb_text}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()

install(TARGETS SC_CONVERTER RUNTIME DESTINATION ${deb_lib} ${deb_rules})
install(FILES ${deb_work}/SC_CONVERTER.shared DESTINATION ${deb_lib} ${deb_rules})
install(FILES ${deb_work}/${SC_DEB_NAME} DESTINATION bin ${deb_rules})
set(deb_stage ${SC_INSTALL_STAGE}/program)
install(FILES ${deb_stage}/bg_tate.bmp ${deb_stage}/bg_film.bmp ${deb_stage}/Readme.txt
              ${deb_stage}/SC_GUIDE.pdf DESTINATION ${deb_share} ${deb_rules})
install(DIRECTORY ${deb_stage}/drive_c DESTINATION ${deb_share} ${deb_dirs}
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ ${deb_rules})
install(FILES ${deb_work}/${SC_DEB_NAME}.desktop DESTINATION share/applications ${deb_rules})
foreach(deb_size 48 256)
  install(FILES ${SC_INSTALL_STAGE}/icons/sc-converter-${deb_size}.png
          DESTINATION share/icons/hicolor/${deb_size}x${deb_size}/apps
          RENAME ${SC_DEB_NAME}.png ${deb_rules})
endforeach()
install(FILES ${deb_work}/sc-converter.1.gz DESTINATION share/man/man1 ${deb_rules})
install(FILES ${deb_sources}/copyright ${deb_work}/changelog.Debian.gz DESTINATION ${deb_doc}
        ${deb_rules})

set(CPACK_GENERATOR DEB)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};deb;/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_NAME ${SC_DEB_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SC_DEB_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The libraries are read off the binary by dpkg-shlibdeps; the font the windows are drawn in
# and the opener of the read-me, the guide and the album are not linked, so they are named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-ipafont-gothic)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "batch picture converter with HTML albums and contact sheets")
set(CPACK_PACKAGE_DESCRIPTION "A desktop tool that takes a batch of BMP and JPEG pictures and runs one job
over it: a JPEG conversion with colour tuning and renaming after each
picture's time, an HTML album with thumbnails, or printed contact sheets.
.
Installed for every user: each user gets a program folder of their own for
settings and sample pictures, made at the first start.")
include(CPack)

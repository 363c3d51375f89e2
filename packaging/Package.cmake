# The desktop files beside the binary, and the Debian package made of the whole install:
#   cmake --build build --target package    (or cpack in build/)
# The package's Depends come from the binary (dpkg-shlibdeps) plus the fonts it looks up by name.

set(ZOA_APPSTREAM_ID "com.tarnixworks.zoa" CACHE STRING "The software-centre component id")
set(ZOA_HOMEPAGE "https://tarnixworks.com/zoa" CACHE STRING "The project's web page")
set(ZOA_MAINTAINER "TarnixworksZOA developers <zoa@tarnixworks.com>" CACHE STRING
    "The package's maintainer, name and address")

set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(generated ${CMAKE_BINARY_DIR}/packaging)
configure_file(${packaging}/linux/tarnixworks-zoa.metainfo.xml.in
               ${generated}/${ZOA_APPSTREAM_ID}.metainfo.xml @ONLY)
configure_file(${packaging}/linux/tarnixworks-zoa.1 ${generated}/tarnixworks-zoa.1 @ONLY)
configure_file(${packaging}/debian/changelog.in ${generated}/changelog @ONLY)

# Debian keeps manual pages and changelogs compressed, without a time stamp in the header.
set(compressed)
foreach(file tarnixworks-zoa.1 changelog)
  add_custom_command(OUTPUT ${generated}/${file}.gz
    COMMAND gzip -9nkf ${generated}/${file}
    DEPENDS ${generated}/${file})
  list(APPEND compressed ${generated}/${file}.gz)
endforeach()
add_custom_target(zoa_packaging_files ALL DEPENDS ${compressed})

install(FILES ${packaging}/linux/tarnixworks-zoa.desktop DESTINATION share/applications)
install(FILES ${generated}/${ZOA_APPSTREAM_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${generated}/tarnixworks-zoa.1.gz DESTINATION share/man/man1)
install(FILES ${packaging}/debian/copyright ${generated}/changelog.gz
        DESTINATION share/doc/tarnixworks-zoa)
foreach(size 256 48)
  install(FILES Resources/icon/tarnixworks-zoa-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME tarnixworks-zoa.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnixworks-zoa)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${ZOA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "picture-card programming for a small single-board computer")
set(CPACK_PACKAGE_DESCRIPTION
  "An editor in which children program a small single-board computer with
picture cards. A child lays cards (beep, wait, drive a motor car, outputs,
PWM, LED, loops) onto a sheet of 40 numbered program lines; pressing play
sends the program to the board over a serial port or its wireless module,
and a board on the screen runs it when no board is at hand. Texts are
Japanese on a Japanese system and English everywhere else.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZOA_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-noto-cjk)
include(CPack)

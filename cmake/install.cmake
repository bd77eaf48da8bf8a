# Where `cmake --install` puts the programs and their desktop files, and the
# Debian package CPack makes of them (`cpack -G DEB`, see scripts/package).
include(GNUInstallDirs)

install(TARGETS tachometrix-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The desktop program exists once the window's main.cpp does.
if(TARGET tachometrix)
  install(TARGETS tachometrix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES data/tachometrix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/org.example.tachometrix.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY data/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The manual and its pictures, where F1 looks for them.
set(TMX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tachometrix)
install(FILES docs/tachometrixdoc.htm DESTINATION ${TMX_DOC_DIR})
install(DIRECTORY docs/images DESTINATION ${TMX_DOC_DIR} FILES_MATCHING PATTERN "*.png")

# Man pages, compressed as Debian ships them.
find_program(TMX_GZIP gzip)
foreach(page tachometrix.1 tachometrix-cli.1)
  if(TMX_GZIP)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/man/${page}.gz
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
                       COMMAND ${TMX_GZIP} -9nc ${PROJECT_SOURCE_DIR}/docs/${page} > ${PROJECT_BINARY_DIR}/man/${page}.gz
                       DEPENDS ${PROJECT_SOURCE_DIR}/docs/${page} VERBATIM)
    list(APPEND tmx_man_pages ${PROJECT_BINARY_DIR}/man/${page}.gz)
  else()
    list(APPEND tmx_man_pages ${PROJECT_SOURCE_DIR}/docs/${page})
  endif()
endforeach()
add_custom_target(tmx_man_pages ALL DEPENDS ${tmx_man_pages})
install(FILES ${tmx_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME tachometrix)
set(CPACK_PACKAGE_VENDOR "The Tachometrix developers")
set(CPACK_PACKAGE_CONTACT "The Tachometrix developers <tachometrix@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "benchmark and diagnostics for CD-ROM drives")
set(CPACK_PACKAGE_DESCRIPTION
    "Tachometrix measures CD-ROM drives with SCSI-3 MMC commands through SG_IO: transfer rate (CLV, CAV or P-CAV),
seek times, CPU load, burst rate, spin-up and spin-down, digital audio extraction quality, a C2 error map of the
disc and a drive check report. It has a desktop window, a command-line front end and a built-in emulated drive.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tachometrix.example.org/")
# Links and the mail address in the About box open through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# The shared libraries the programs link decide the dependencies.
find_program(TMX_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TMX_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  message(STATUS "dpkg-shlibdeps not found: the package will declare no library dependencies")
endif()
include(CPack)

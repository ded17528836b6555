# Installation and the Debian package.
#
# The program reads Odolink.ini from its own folder and writes its run logs there, so everything
# lives under one prefix: <prefix>/bin holds the programs, the configuration and the logs.
#   <prefix>/bin/odolink, trackgps-sim, Odolink.ini (installed only when absent, mode 0640)
#   <prefix>/lib/systemd/system/odolink.service, odolink.timer (the package moves them to /lib)
#   <prefix>/share/odolink/cron.d/odolink             (the cron alternative to the timer)
#   <prefix>/share/doc/odolink/README.md, Odolink.ini.example
# The package installs under /opt/odolink and makes bin/ writable for the service user odolink.

set(ODOLINK_DEB_PREFIX "/opt/odolink" CACHE PATH "Install prefix of the Debian package")

set(_pkg "${CMAKE_CURRENT_SOURCE_DIR}/packaging")

if(TARGET trackgps-sim)
  install(TARGETS trackgps-sim RUNTIME DESTINATION bin)
endif()
# Builds an embedded fleet database, for trying the program against trackgps-sim.
if(TARGET odolink-fleetdb)
  install(TARGETS odolink-fleetdb RUNTIME DESTINATION bin)
endif()

install(FILES "${CMAKE_CURRENT_SOURCE_DIR}/README.md" DESTINATION share/doc/odolink)
configure_file("${_pkg}/Odolink.ini.in" "${CMAKE_CURRENT_BINARY_DIR}/packaging/Odolink.ini" @ONLY)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/packaging/Odolink.ini" DESTINATION share/doc/odolink
        RENAME Odolink.ini.example)

# Files that name install paths are written at install time, so that `cmake --install --prefix`
# and the package each get their own paths.
install(CODE "set(_odolink_pkg \"${_pkg}\")\nset(_odolink_ini \"${CMAKE_CURRENT_BINARY_DIR}/packaging/Odolink.ini\")\nset(_odolink_work \"${CMAKE_CURRENT_BINARY_DIR}/packaging/install\")")
install(CODE [[
  # Installs into different prefixes may run at the same time (the tests do): each has its own copies.
  string(MD5 _odolink_dest "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  set(_odolink_work "${_odolink_work}/${_odolink_dest}")
  set(ODOLINK_BINDIR "${CMAKE_INSTALL_PREFIX}/bin")
  set(ODOLINK_DOCDIR "${CMAKE_INSTALL_PREFIX}/share/doc/odolink")
  configure_file("${_odolink_pkg}/systemd/odolink.service.in" "${_odolink_work}/odolink.service" @ONLY)
  configure_file("${_odolink_pkg}/cron/odolink.in" "${_odolink_work}/cron.d/odolink" @ONLY)
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/lib/systemd/system" TYPE FILE
       FILES "${_odolink_work}/odolink.service" "${_odolink_pkg}/systemd/odolink.timer")
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/odolink/cron.d" TYPE FILE
       FILES "${_odolink_work}/cron.d/odolink")
  file(REMOVE_RECURSE "${_odolink_work}")

  # A configured Odolink.ini is never overwritten by a later install.
  if(EXISTS "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/Odolink.ini")
    message(STATUS "Kept: $ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/Odolink.ini")
  else()
    file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/bin" TYPE FILE
         PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ FILES "${_odolink_ini}")
  endif()
]])

# Debian package: `cpack -G DEB` in the build folder, or `make package`.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "odolink")
set(CPACK_PACKAGE_VENDOR "Odolink")
set(CPACK_PACKAGE_CONTACT "Odolink maintainers <odolink@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Odolink keeps the dashboard odometer readings of a company's vehicle fleet up to date.\n"
    "It reads the tracked vehicles from the company schema of an Oracle database, asks the\n"
    "TrackGPS web service how far each one drove since its last reading, and stores a new\n"
    "reading. A systemd timer runs it once a night; each run writes a log file beside the program.")
# The linked Qt and C++ libraries come from dpkg-shlibdeps; the plugins Qt loads at run time and
# the fonts the window names are not linked, so they are listed here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, libqt6sql6-odbc, fonts-wine, fonts-dejavu-core, ca-certificates, passwd")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(_deb "${CMAKE_CURRENT_BINARY_DIR}/packaging/deb")
configure_file("${_pkg}/deb/postinst.in" "${_deb}/postinst" @ONLY)
configure_file("${_pkg}/deb/postrm.in" "${_deb}/postrm" @ONLY)
configure_file("${_pkg}/deb/prerm" "${_deb}/prerm" COPYONLY)
file(WRITE "${_deb}/conffiles" "${ODOLINK_DEB_PREFIX}/bin/Odolink.ini\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${_deb}/postinst;${_deb}/prerm;${_deb}/postrm;${_deb}/conffiles")
set(CPACK_PRE_BUILD_SCRIPTS "${_pkg}/deb/layout.cmake")
# The /opt prefix is the binary package's alone; a source package keeps the tree as it is.
file(WRITE "${_deb}/options.cmake"
     "if(CPACK_GENERATOR STREQUAL \"DEB\")\n  set(CPACK_PACKAGING_INSTALL_PREFIX \"${ODOLINK_DEB_PREFIX}\")\nendif()\n")
set(CPACK_PROJECT_CONFIG_FILE "${_deb}/options.cmake")

# `make package_source` (cpack --config CPackSourceConfig.cmake): the sources without build folders.
set(CPACK_SOURCE_GENERATOR "TGZ")
set(CPACK_SOURCE_IGNORE_FILES "/\\.git(/|$)" "/build[^/]*/" "/tmp/")

include(CPack)

# CPack configuration of the kelvara .deb.
#
# The package is laid out under CMAKE_INSTALL_PREFIX, so that the paths compiled
# into the program (the documentation folder F1 looks in) and written into the
# driver registration match where the files land. Build packages from a tree
# configured with -DCMAKE_INSTALL_PREFIX=/usr (scripts/test-package does).

set(KELVARA_ODBCINST_TEMPLATE "${CMAKE_INSTALL_FULL_DATADIR}/kelvara/odbcinst.ini")
# The two names under which the driver is registered; the maintainer scripts
# remove exactly these.
set(KELVARA_DRIVER_NAMES "MICROSOFT ACCESS DRIVER (*.mdb)|Kelvara Access Driver")

file(READ debian/odbc-functions.sh KELVARA_DEB_FUNCTIONS)
string(CONFIGURE "${KELVARA_DEB_FUNCTIONS}" KELVARA_DEB_FUNCTIONS @ONLY)
foreach(script IN ITEMS postinst prerm postrm)
  configure_file(debian/${script}.in ${CMAKE_CURRENT_BINARY_DIR}/debian/${script}
                 @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                 GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvara)
set(CPACK_PACKAGE_VENDOR Tarnwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kelvara developers <kelvara@users.noreply.github.com>"
    CACHE STRING "Maintainer of the kelvara .deb")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "export a table of a Microsoft Access database to CSV")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kelvara is a small Qt desktop tool that appends the rows of one table of a\n"
    "Microsoft Access database (.mdb, .accdb) to a CSV file. It comes with its own\n"
    "read-only ODBC driver for Access files, built on libmdb and registered with\n"
    "unixODBC as \"MICROSOFT ACCESS DRIVER (*.mdb)\" and \"Kelvara Access Driver\".")
string(JOIN "" CPACK_DEBIAN_PACKAGE_DESCRIPTION ${CPACK_DEBIAN_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KELVARA_HOMEPAGE}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")

# odbcinst runs in the maintainer scripts; the Qt platform plugins are needed to
# open a window at all; libmdb is named even when shlibdeps finds it, so the
# dependency holds before the driver links it.
set(KELVARA_DEB_DEPENDS "unixodbc, odbcinst, libmdb3, qt6-qpa-plugins")
find_program(KELVARA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KELVARA_DPKG_SHLIBDEPS)
  # Versioned dependencies on Qt, libodbc and libmdb, read from the binaries.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${KELVARA_DEB_DEPENDS}")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6 (>= 6.4), libodbc2, ${KELVARA_DEB_DEPENDS}")
endif()

set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_BINARY_DIR}/debian/postinst
    ${CMAKE_CURRENT_BINARY_DIR}/debian/prerm
    ${CMAKE_CURRENT_BINARY_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)

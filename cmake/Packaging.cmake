# The Debian package of the program: the window, zepconv, the icon and the desktop entry, as
# installed by the install rules. `cpack -G DEB` in the build folder makes it; the Depends line
# comes from dpkg-shlibdeps, so it names exactly the libraries the binaries link.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "zepconverter")
set(CPACK_PACKAGE_VENDOR "ZEP Converter developers")
set(CPACK_PACKAGE_CONTACT "ZEP Converter developers <dev@zepconverter.local>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Convert MORVEL ZEP files to Vostrel Space.")
set(CPACK_PACKAGE_DESCRIPTION
    "Loads MORVEL coordinate files (*.Zep) into one list, brings their labels into a common \
order by character code or by the labels the files share, and writes them back padded to one \
size. Includes the desktop program ZEPConverter and the batch tool zepconv.")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)

# The Debian package of the program: the window, zepconv, their manual pages, the icon, the
# desktop entry, the MIME type of *.Zep files and the AppStream metadata, as installed by the
# install rules. `cpack -G DEB` in the build folder makes it; the Depends line comes from
# dpkg-shlibdeps, so it names exactly the libraries the binaries link. The test DebianPackage
# checks it with lintian, appstreamcli and desktop-file-validate.
find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)
find_program(DPKG_PARSECHANGELOG dpkg-parsechangelog REQUIRED)
include(GNUInstallDirs)

set(ZEP_PACKAGE_MAINTAINER "ZEP Converter developers <dev@zepconverter.example.org>"
    CACHE STRING "Maintainer field of the Debian package: name <address>")
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(generated ${PROJECT_BINARY_DIR}/packaging)
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/zepconverter)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${packaging}/changelog ${PROJECT_SOURCE_DIR}/LICENSE)

# The changelog's top entry dates this release: the AppStream release entry and the manual pages
# carry its date, so a rebuild makes the same files.
execute_process(COMMAND ${DPKG_PARSECHANGELOG} -l ${packaging}/changelog -S Timestamp
                OUTPUT_VARIABLE release_epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND date -u -d @${release_epoch} +%F
                OUTPUT_VARIABLE ZEP_RELEASE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
configure_file(${packaging}/metainfo.xml.in
               ${generated}/org.example.zepconverter.metainfo.xml @ONLY)

# The machine-readable copyright file, its holder and licence text taken from LICENSE.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${licence}")
set(ZEP_COPYRIGHT "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^.*\n(Permission is hereby granted)" "\\1" grant "${licence}")
string(STRIP "${grant}" grant)
string(REPLACE "\n\n" "\n.\n" grant "${grant}")
string(REPLACE "\n" "\n " ZEP_LICENCE_GRANT "${grant}")
configure_file(${packaging}/copyright.in ${generated}/copyright @ONLY)

# Manual pages made from the programs' own --help and --version; gzip -n leaves out the name
# and time of the file, so they too come out the same at every build.
set(names_ZEPConverter "prepare MORVEL coordinate files for use as one Vostrel space")
set(names_zepconv "check, show, sort and compare MORVEL coordinate files in batches")
set(pages)
foreach(program ZEPConverter zepconv)
  set(page ${generated}/${program}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${release_epoch}
            ${HELP2MAN} --no-info "--name=${names_${program}}" --output=${page}
            $<TARGET_FILE:${program}>
    COMMAND ${GZIP} -9nf ${page}
    DEPENDS ${program} VERBATIM)
  list(APPEND pages ${page}.gz)
endforeach()
add_custom_command(OUTPUT ${generated}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${packaging}/changelog ${generated}/changelog
  COMMAND ${GZIP} -9nf ${generated}/changelog
  DEPENDS ${packaging}/changelog VERBATIM)
add_custom_target(packaging_files ALL DEPENDS ${pages} ${generated}/changelog.gz)

install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${generated}/changelog.gz ${generated}/copyright DESTINATION ${docdir})
install(FILES ${generated}/org.example.zepconverter.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging}/zepconverter.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "zepconverter")
set(CPACK_PACKAGE_VENDOR "ZEP Converter developers")
set(CPACK_PACKAGE_CONTACT "${ZEP_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://zepconverter.example.org")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Convert MORVEL ZEP files to Vostrel Space")
set(CPACK_PACKAGE_DESCRIPTION
    "ZEP Converter loads MORVEL coordinate files (*.Zep) into one list, brings
their labels into a common order, by character code or by the labels the
files share, and writes them back padded to one size.

The package holds the desktop program ZEPConverter, which file managers offer
for *.Zep files, and the batch tool zepconv for scripts.")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# The System Info message of the about box is in Chinese; a stock desktop has no font for it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)

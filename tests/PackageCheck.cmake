# Builds the Debian package into a scratch folder and checks it as a distribution would: lintian
# with no error and no warning, appstreamcli on the AppStream metadata, desktop-file-validate on
# the desktop entry and update-mime-database on the MIME type. Then unpacks it into a scratch
# root and checks its files, its control fields, that changelog, metadata and manual pages name
# this version, and that both unpacked programs answer --version without a display.
# Called by CTest: cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DSCRATCH=... -DVERSION=...
#                        -P PackageCheck.cmake
cmake_minimum_required(VERSION 3.25)

# Runs a command, failing the test when it fails; its output lands in out and err.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

function(expect_in text expected what)
  string(FIND "${text}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${what} lacks '${expected}':\n${text}")
  endif()
endfunction()

# The text of a gzip-compressed file of the package.
function(unzipped path)
  run(gzip -dc "${root}/${path}")
  set(out "${out}" PARENT_SCOPE)
endfunction()

set(root "${SCRATCH}/root")
set(mime_type "application/x-zep")
set(desktop usr/share/applications/ZEPConverter.desktop)
set(metainfo usr/share/metainfo/org.example.zepconverter.metainfo.xml)
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}/out" "${root}")
run(cpack -G DEB -B "${SCRATCH}/out" --config "${BUILD_DIR}/CPackConfig.cmake")
file(GLOB debs "${SCRATCH}/out/*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one package, found: ${debs}")
endif()
get_filename_component(name "${debs}" NAME)
if(NOT name MATCHES "^zepconverter_${VERSION}_[a-z0-9]+\\.deb$")
  message(FATAL_ERROR "unexpected package file name ${name}")
endif()
run(lintian --fail-on error,warning "${debs}")

run(dpkg-deb -x "${debs}" "${root}")
file(GLOB_RECURSE files RELATIVE "${root}" "${root}/*")
list(SORT files)
set(expected
  usr/bin/ZEPConverter
  usr/bin/zepconv
  ${desktop}
  usr/share/doc/zepconverter/changelog.gz
  usr/share/doc/zepconverter/copyright
  usr/share/icons/hicolor/256x256/apps/ZEPConverter.png
  usr/share/man/man1/ZEPConverter.1.gz
  usr/share/man/man1/zepconv.1.gz
  ${metainfo}
  usr/share/mime/packages/zepconverter.xml)
if(NOT files STREQUAL expected)
  message(FATAL_ERROR "package files:\n  ${files}\nexpected:\n  ${expected}")
endif()

run(dpkg-deb -f "${debs}" Package Version Architecture Depends Recommends Section)
foreach(field "Package: zepconverter" "Version: ${VERSION}" "Section: science"
              "Recommends: fonts-wqy-microhei")
  expect_in("${out}" "${field}" "control")
endforeach()
foreach(library libqt6widgets6 libqt6core6 libstdc\\+\\+6 libc6)
  if(NOT out MATCHES "Depends:[^\n]*${library}")
    message(FATAL_ERROR "Depends lacks ${library}:\n${out}")
  endif()
endforeach()

# The desktop entry passes without a single remark and opens the files of the package's type.
run(desktop-file-validate "${root}/${desktop}")
if(NOT "${out}${err}" STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate:\n${out}${err}")
endif()
file(READ "${root}/${desktop}" entry)
foreach(line "Exec=ZEPConverter %F\n" "Icon=ZEPConverter\n" "MimeType=${mime_type};\n")
  expect_in("${entry}" "${line}" "desktop entry")
endforeach()
# validate-tree validates the metadata and also that its launchable names the desktop entry.
run(appstreamcli validate-tree --no-net "${root}")
file(READ "${root}/${metainfo}" component)
expect_in("${component}" "<release version=\"${VERSION}\"" "AppStream metadata")

# The MIME database built from the package alone matches *.Zep in any letter case (no "cs").
file(COPY "${root}/usr/share/mime" DESTINATION "${SCRATCH}")
run(${CMAKE_COMMAND} -E env XDG_DATA_DIRS=${SCRATCH} update-mime-database "${SCRATCH}/mime")
file(STRINGS "${SCRATCH}/mime/globs2" globs REGEX "^[0-9]+:${mime_type}:")
if(NOT globs MATCHES "^[0-9]+:${mime_type}:\\*\\.zep$" OR NOT "${err}" STREQUAL "")
  message(FATAL_ERROR "MIME globs for ${mime_type}: '${globs}'\n${err}")
endif()

unzipped(usr/share/doc/zepconverter/changelog.gz)
if(NOT out MATCHES "^zepconverter \\(${VERSION}\\) ")
  message(FATAL_ERROR "the changelog's latest entry is not for ${VERSION}:\n${out}")
endif()

# Both programs answer --version with no display at hand, as help2man ran them for their manual
# pages: the name, this version, and LICENSE as it stands.
file(READ "${SOURCE_DIR}/LICENSE" licence)
foreach(program ZEPConverter zepconv)
  run(${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
      "${root}/usr/bin/${program}" --version)
  if(NOT out STREQUAL "${program} (ZEP Converter) ${VERSION}\n\n${licence}")
    message(FATAL_ERROR "${program} --version:\n${out}")
  endif()
  unzipped(usr/share/man/man1/${program}.1.gz)
  expect_in("${out}" "\"ZEP Converter ${VERSION}\"" "manual page of ${program}")
  expect_in("${out}" "\\fB\\-\\-version\\fR" "manual page of ${program}")
endforeach()
file(REMOVE_RECURSE "${SCRATCH}")
message(STATUS "package ${name} holds ${files}")

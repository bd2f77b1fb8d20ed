# Builds the Debian package into a scratch folder, unpacks it into a scratch root with
# dpkg-deb -x, and checks its file list, its control fields and that the unpacked zepconv
# runs. Called by CTest: cmake -DBUILD_DIR=... -DSCRATCH=... -DVERSION=... -P PackageCheck.cmake
cmake_minimum_required(VERSION 3.25)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}/out" "${SCRATCH}/root")
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

run(dpkg-deb -x "${debs}" "${SCRATCH}/root")
file(GLOB_RECURSE files RELATIVE "${SCRATCH}/root" "${SCRATCH}/root/*")
list(SORT files)
set(expected
  usr/bin/ZEPConverter
  usr/bin/zepconv
  usr/share/applications/ZEPConverter.desktop
  usr/share/icons/hicolor/256x256/apps/ZEPConverter.png)
if(NOT files STREQUAL expected)
  message(FATAL_ERROR "package files:\n  ${files}\nexpected:\n  ${expected}")
endif()
foreach(program usr/bin/ZEPConverter usr/bin/zepconv)
  run(test -x "${SCRATCH}/root/${program}")
endforeach()

run(dpkg-deb -f "${debs}" Package Version Architecture Depends Section)
foreach(field "Package: zepconverter" "Version: ${VERSION}" "Section: science")
  string(FIND "${out}" "${field}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "control lacks '${field}':\n${out}")
  endif()
endforeach()
foreach(library libqt6widgets6 libqt6core6 libstdc\\+\\+6 libc6)
  if(NOT out MATCHES "Depends:[^\n]*${library}")
    message(FATAL_ERROR "Depends lacks ${library}:\n${out}")
  endif()
endforeach()

file(READ "${SCRATCH}/root/usr/share/applications/ZEPConverter.desktop" entry)
if(NOT entry MATCHES "Exec=ZEPConverter" OR NOT entry MATCHES "Icon=ZEPConverter")
  message(FATAL_ERROR "desktop entry does not start the installed program:\n${entry}")
endif()
run("${SCRATCH}/root/usr/bin/zepconv" --help)
file(REMOVE_RECURSE "${SCRATCH}")
message(STATUS "package ${name} holds ${files}")

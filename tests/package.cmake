cmake_minimum_required(VERSION 3.25)
# Builds the Debian package into a scratch folder and checks what a user installs: the programs,
# every help page, the translation, the desktop entry and icons, the manual pages, the copyright
# file and changelog, a valid desktop entry, the version of the project and dependencies computed
# from the linked libraries; then lintian, which must find no error and no warning.
# Arguments: -DCPACK=... -DCONFIG=<build>/CPackConfig.cmake -DWORK=<scratch folder> -DVERSION=...
#            -DLINTIAN=<lintian> -DHELP=<the help folder of the sources>

# Errors and warnings fail; what lintian calls info or pedantic does not.
execute_process(COMMAND ${LINTIAN} --no-cfg --fail-on error,warning --tag-display-limit 0 ${debs}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lintian (${rc}):\n${out}${err}")
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CPACK} -G DEB --config ${CONFIG} -B ${WORK}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed (${rc}):\n${out}\n${err}")
endif()
file(GLOB debs ${WORK}/*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one package, found: ${debs}")
endif()
get_filename_component(name ${debs} NAME)
if(NOT name STREQUAL "pTavelon_${VERSION}_amd64.deb")
  message(FATAL_ERROR "package named ${name}")
endif()

execute_process(COMMAND dpkg-deb -c ${debs} OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -c failed")
endif()
file(GLOB pages RELATIVE ${HELP} ${HELP}/*.html ${HELP}/*.css)
list(TRANSFORM pages PREPEND ./usr/share/ptavelon/help/)
foreach(file
    ./usr/bin/pTavelon ./usr/bin/tavelon ${pages}
    ./usr/share/ptavelon/translations/qtbase_ja.qm
    ./usr/share/man/man1/tavelon.1.gz ./usr/share/man/man1/pTavelon.1.gz
    ./usr/share/doc/ptavelon/copyright ./usr/share/doc/ptavelon/changelog.gz
    ./usr/share/applications/ptavelon.desktop
    ./usr/share/icons/hicolor/48x48/apps/ptavelon.png
    ./usr/share/icons/hicolor/128x128/apps/ptavelon.png
    ./usr/share/icons/hicolor/scalable/apps/ptavelon.svg)
  string(FIND "${listing}" " ${file}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${file} missing from the package:\n${listing}")
  endif()
endforeach()

execute_process(COMMAND dpkg-deb -f ${debs} Package Version Depends OUTPUT_VARIABLE fields)
foreach(expected "Package: ptavelon" "Version: ${VERSION}" "libqt6widgets6" "fonts-ipafont-gothic"
                 "libsqlite3")
  string(FIND "${fields}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "'${expected}' not in the control fields:\n${fields}")
  endif()
endforeach()

execute_process(COMMAND dpkg-deb -x ${debs} ${WORK}/root RESULT_VARIABLE rc)
execute_process(COMMAND desktop-file-validate ${WORK}/root/usr/share/applications/ptavelon.desktop
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR out MATCHES "error")
  message(FATAL_ERROR "desktop entry not valid:\n${out}${err}")
endif()
file(READ ${WORK}/root/usr/share/applications/ptavelon.desktop entry)
string(FIND "${entry}" "\nName[ja]=平坦性試験\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "no Japanese name in the desktop entry")
endif()

# Errors and warnings fail; what lintian calls info or pedantic does not.
execute_process(COMMAND ${LINTIAN} --no-cfg --fail-on error,warning --tag-display-limit 0 ${debs}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lintian (${rc}):\n${out}${err}")
endif()
file(REMOVE_RECURSE ${WORK})

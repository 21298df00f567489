# Run by ctest: installs the build into STAGE and compares what landed there
# with what an installation must hold.
file(REMOVE_RECURSE "${STAGE}")
execute_process(
    COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${STAGE}"
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
    "${BINDIR}/TavikRepView"
    "${DATADIR}/applications/TavikRepView.desktop"
    "${DATADIR}/icons/hicolor/scalable/apps/TavikRepView.svg"
    "${DATADIR}/metainfo/net.orlix.TavikRepView.metainfo.xml"
    "${MANDIR}/man1/TavikRepView.1.gz"
    "${DATADIR}/doc/${PACKAGE}/copyright"
    "${DATADIR}/doc/${PACKAGE}/changelog.gz")
foreach(size 16 24 32 48 64 128 256)
    list(APPEND expected "${DATADIR}/icons/hicolor/${size}x${size}/apps/TavikRepView.png")
endforeach()
list(SORT expected)

file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${STAGE}" "${STAGE}/*")
list(SORT found)
if(NOT found STREQUAL expected)
    message(FATAL_ERROR "installed:\n  ${found}\nexpected:\n  ${expected}")
endif()

file(READ "${STAGE}/${DATADIR}/applications/TavikRepView.desktop" entry)
if(NOT entry MATCHES "\nExec=TavikRepView /DATAFOLDER\n")
    message(FATAL_ERROR "the desktop entry does not start the program in its data folder")
endif()

# A new version needs its entry in the changelog and its release in the
# metainfo, or the package would describe an older one.
string(REPLACE "." "\\." version "${VERSION}")
file(STRINGS "${SOURCE_DIR}/debian/changelog" heading LIMIT_COUNT 1)
if(NOT heading MATCHES "^${PACKAGE} \\(${version}\\) ")
    message(FATAL_ERROR "debian/changelog does not begin with version ${VERSION}: ${heading}")
endif()
file(READ "${SOURCE_DIR}/net.orlix.TavikRepView.metainfo.xml" metainfo)
if(NOT metainfo MATCHES "<releases>[ \n]*<release version=\"${version}\"")
    message(FATAL_ERROR "the metainfo's latest release is not ${VERSION}")
endif()
file(REMOVE_RECURSE "${STAGE}")

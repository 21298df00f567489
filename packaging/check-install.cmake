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
    "${DATADIR}/icons/hicolor/scalable/apps/TavikRepView.svg")
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
file(REMOVE_RECURSE "${STAGE}")

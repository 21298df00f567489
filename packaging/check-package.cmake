# Run by ctest: makes the Debian package into SCRATCH with cpack, then has
# lintian judge it (any error or warning fails) and appstreamcli check the
# metainfo against the desktop entry as the package installs them.
file(REMOVE_RECURSE "${SCRATCH}")

execute_process(
    COMMAND "${CPACK}" -G DEB --config "${CPACK_CONFIG}" -B "${SCRATCH}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(GLOB debs "${SCRATCH}/*.deb")
list(LENGTH debs count)
if(NOT result EQUAL 0 OR NOT count EQUAL 1)
    message(FATAL_ERROR "cpack failed (${result}), made ${count} packages:\n${output}")
endif()

execute_process(
    COMMAND "${LINTIAN}" --fail-on error,warning --display-info "${debs}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
message("${output}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lintian found errors or warnings (${result})")
endif()

execute_process(COMMAND "${DPKG_DEB}" -x "${debs}" "${SCRATCH}/root" COMMAND_ERROR_IS_FATAL ANY)
execute_process(
    COMMAND "${APPSTREAMCLI}" validate-tree --no-net --strict "${SCRATCH}/root"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "appstreamcli validate-tree failed (${result}):\n${output}")
endif()
file(REMOVE_RECURSE "${SCRATCH}")

# The release: Torvane-<version>-<arch>.zip with Torvane.exe and its read-me,
# made by the "package" target. Torvane.exe is signed before it is zipped
# when the environment names a certificate (cmake/TorvaneSign.cmake), and
# SHA256SUMS beside the zip covers the zip and the executable in it
# (cmake/TorvaneChecksums.cmake).
install(TARGETS Torvane RUNTIME DESTINATION .)
install(FILES "${PROJECT_BINARY_DIR}/app/ReadMe.txt" DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Torvane)
set(CPACK_PACKAGE_VENDOR Kestrova)
set(CPACK_PACKAGE_FILE_NAME "Torvane-${PROJECT_VERSION}-${CMAKE_SYSTEM_PROCESSOR}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)

# What the signature names: the product, and where to read about it.
find_program(TORVANE_OSSLSIGNCODE osslsigncode)
set(CPACK_TORVANE_OSSLSIGNCODE "${TORVANE_OSSLSIGNCODE}")
set(CPACK_TORVANE_SIGN_DESCRIPTION "Rename Quorvex Database")
set(CPACK_TORVANE_SIGN_URL "https://torvane.kestrova.example")
set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/TorvaneSign.cmake")
set(CPACK_POST_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/TorvaneChecksums.cmake")
include(CPack)

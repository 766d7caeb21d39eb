# The release: Torvane-<version>-<arch>.zip with Torvane.exe and its read-me,
# made by the "package" target.
install(TARGETS Torvane RUNTIME DESTINATION .)
install(FILES "${PROJECT_BINARY_DIR}/app/ReadMe.txt" DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Torvane)
set(CPACK_PACKAGE_VENDOR Kestrova)
set(CPACK_PACKAGE_FILE_NAME "Torvane-${PROJECT_VERSION}-${CMAKE_SYSTEM_PROCESSOR}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)

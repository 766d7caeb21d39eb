# The release: Torvane-<version>-<arch>.zip with Torvane.exe, its read-me, the
# license, the notices of what is linked into it, the release notes and the
# deployment kit in a folder "deploy", made by the "package" target.
# Torvane.exe is signed before it is zipped when the environment names a
# certificate (cmake/TorvaneSign.cmake); beside the zip
# go the bill of materials and SHA256SUMS, which covers the zip, the
# executable in it and the bill of materials (cmake/TorvaneChecksums.cmake).
install(TARGETS Torvane RUNTIME DESTINATION .)
# The text files as Notepad on every supported Windows shows them: CRLF, which
# cmd.exe needs of a batch file too.
file(GLOB kit RELATIVE "${PROJECT_SOURCE_DIR}" CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/deploy/*")
foreach(text LICENSE CHANGELOG.md ${kit})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${text}")
    file(READ "${PROJECT_SOURCE_DIR}/${text}" content)
    string(REPLACE "\r\n" "\n" content "${content}")
    string(REPLACE "\n" "\r\n" content "${content}")
    file(WRITE "${PROJECT_BINARY_DIR}/release/${text}" "${content}")
endforeach()
install(FILES
    "${PROJECT_BINARY_DIR}/app/ReadMe.txt"
    "${PROJECT_BINARY_DIR}/release/LICENSE"
    "${PROJECT_BINARY_DIR}/release/CHANGELOG.md"
    DESTINATION .)
list(TRANSFORM kit PREPEND "${PROJECT_BINARY_DIR}/release/")
install(FILES ${kit} DESTINATION deploy)
# The notices and the bill of materials are made from the mingw-w64 link's
# map and the Debian packages it used (app/CMakeLists.txt).
if(MINGW)
    install(FILES "${PROJECT_BINARY_DIR}/app/THIRD-PARTY-NOTICES.txt" DESTINATION .)
    set(CPACK_TORVANE_SBOM_TEMPLATE "${PROJECT_BINARY_DIR}/app/Torvane.cdx.json.in")
endif()

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

# Included by TorvaneChecksums.cmake with exe_hash, the SHA-256 of Torvane.exe
# as the zip holds it: writes the CycloneDX bill of materials, sbom_name,
# beside the zip. The build wrote the rest from the linker's map
# (cmake/TorvaneThirdParty.py); it has no serial number and no time stamp, so
# two builds of one commit give the same file.
file(READ "${CPACK_TORVANE_SBOM_TEMPLATE}" sbom)
string(REPLACE "@TORVANE_EXE_SHA256@" "${exe_hash}" sbom "${sbom}")
file(WRITE "${CPACK_PACKAGE_DIRECTORY}/${sbom_name}" "${sbom}")
message(STATUS "Bill of materials: ${CPACK_PACKAGE_DIRECTORY}/${sbom_name}")

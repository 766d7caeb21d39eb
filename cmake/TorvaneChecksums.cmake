# Run by CPack once the zip is made: unpacks it into a folder named after it,
# beside it, where Windows' "Extract All" puts it; writes the bill of
# materials beside it with the hash of the executable as it is in the zip,
# signed (cmake/TorvaneSbom.cmake, for the mingw-w64 builds); then SHA256SUMS with the zip's hash, that
# of the executable in that folder and that of the bill of materials.
# "sha256sum -c SHA256SUMS" in the folder that holds the zip checks all three.
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
    get_filename_component(zip_name "${zip}" NAME)
    get_filename_component(folder_name "${zip}" NAME_WLE)
    set(folder "${CPACK_PACKAGE_DIRECTORY}/${folder_name}")
    file(REMOVE_RECURSE "${folder}")
    file(ARCHIVE_EXTRACT INPUT "${zip}" DESTINATION "${folder}")
    file(SHA256 "${zip}" zip_hash)
    file(SHA256 "${folder}/Torvane.exe" exe_hash)
    set(sums "${zip_hash}  ${zip_name}\n${exe_hash}  ${folder_name}/Torvane.exe\n")
    set(listed "${zip_name} and ${folder_name}/Torvane.exe")
    if(CPACK_TORVANE_SBOM_TEMPLATE)
        set(sbom_name "${folder_name}.cdx.json")
        include("${CMAKE_CURRENT_LIST_DIR}/TorvaneSbom.cmake")
        file(SHA256 "${CPACK_PACKAGE_DIRECTORY}/${sbom_name}" sbom_hash)
        string(APPEND sums "${sbom_hash}  ${sbom_name}\n")
        set(listed "${zip_name}, ${folder_name}/Torvane.exe and ${sbom_name}")
    endif()
    file(WRITE "${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS" "${sums}")
    message(STATUS "SHA256SUMS: ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS, for ${listed}")
endforeach()

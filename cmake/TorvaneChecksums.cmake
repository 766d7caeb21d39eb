# Run by CPack once the zip is made: unpacks it into a folder named after it,
# beside it, where Windows' "Extract All" puts it, and writes SHA256SUMS
# beside it with the zip's hash and that of the executable in that folder.
# "sha256sum -c SHA256SUMS" in the folder that holds the zip checks both.
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
    get_filename_component(zip_name "${zip}" NAME)
    get_filename_component(folder_name "${zip}" NAME_WLE)
    set(folder "${CPACK_PACKAGE_DIRECTORY}/${folder_name}")
    file(REMOVE_RECURSE "${folder}")
    file(ARCHIVE_EXTRACT INPUT "${zip}" DESTINATION "${folder}")
    file(SHA256 "${zip}" zip_hash)
    file(SHA256 "${folder}/Torvane.exe" exe_hash)
    file(WRITE "${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS"
        "${zip_hash}  ${zip_name}\n${exe_hash}  ${folder_name}/Torvane.exe\n")
    message(STATUS "SHA256SUMS: ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS, for ${zip_name} and ${folder_name}/Torvane.exe")
endforeach()

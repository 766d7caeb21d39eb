# Run by CPack before zipping: signs the staged Torvane.exe with Authenticode
# (SHA-256, the product's name and URL) when TORVANE_SIGN_PFX names a PKCS#12
# file and TORVANE_SIGN_PASSWORD its password; TORVANE_SIGN_TIMESTAMP_URL
# optionally names an RFC 3161 time-stamp server. Otherwise the package is
# made unsigned and this says so in one line.
set(exe "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/Torvane.exe")
if(NOT DEFINED ENV{TORVANE_SIGN_PFX} OR "$ENV{TORVANE_SIGN_PFX}" STREQUAL "")
    message(STATUS "Torvane.exe is not signed: TORVANE_SIGN_PFX and TORVANE_SIGN_PASSWORD name no certificate")
    return()
endif()
if(NOT DEFINED ENV{TORVANE_SIGN_PASSWORD})
    message(FATAL_ERROR "TORVANE_SIGN_PFX is set but TORVANE_SIGN_PASSWORD is not")
endif()
if(NOT CPACK_TORVANE_OSSLSIGNCODE)
    message(FATAL_ERROR "signing needs osslsigncode, which was not found when the build was configured")
endif()

set(timestamp)
if(NOT "$ENV{TORVANE_SIGN_TIMESTAMP_URL}" STREQUAL "")
    set(timestamp -ts "$ENV{TORVANE_SIGN_TIMESTAMP_URL}")
endif()

# The password goes through a file only its owner can read, not the command
# line, which other users of the machine can see.
set(private "${CPACK_TEMPORARY_DIRECTORY}/../signing")
file(REMOVE_RECURSE "${private}")
file(MAKE_DIRECTORY "${private}")
file(CHMOD "${private}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
file(WRITE "${private}/password" "$ENV{TORVANE_SIGN_PASSWORD}")
execute_process(
    COMMAND "${CPACK_TORVANE_OSSLSIGNCODE}" sign
        -pkcs12 "$ENV{TORVANE_SIGN_PFX}" -readpass "${private}/password"
        -h sha256 -n "${CPACK_TORVANE_SIGN_DESCRIPTION}" -i "${CPACK_TORVANE_SIGN_URL}"
        ${timestamp} -in "${exe}" -out "${private}/Torvane.exe"
    RESULT_VARIABLE status
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
file(REMOVE "${private}/password")
if(NOT status EQUAL 0)
    file(REMOVE_RECURSE "${private}")
    message(FATAL_ERROR "osslsigncode could not sign Torvane.exe:\n${output}")
endif()
file(RENAME "${private}/Torvane.exe" "${exe}")
file(REMOVE_RECURSE "${private}")
message(STATUS "Torvane.exe is signed with $ENV{TORVANE_SIGN_PFX}")

# torvane_delay_load(target dll...): the target loads each of these DLLs at
# its first call into it instead of at start, so a run that never calls it
# (the quiet command line never touches a window) never pays for loading
# it. Only for DLLs that Windows always takes from its own folder (known
# DLLs such as user32 and gdi32): a delayed load searches as LoadLibrary does.
#
# MSVC does this itself. With mingw-w64 a delay-import library is made with
# dlltool from the names the ordinary import library exports, and linked
# ahead of it; mingw-w64's runtime has the helper that resolves the calls.
function(torvane_delay_load target)
    if(MSVC)
        foreach(name IN LISTS ARGN)
            target_link_options(${target} PRIVATE "/DELAYLOAD:${name}.dll")
        endforeach()
        target_link_libraries(${target} PRIVATE delayimp)
        return()
    endif()
    if(NOT MINGW)
        return()
    endif()
    find_program(TORVANE_NM NAMES ${TORVANE_MINGW_TRIPLE}-nm REQUIRED)
    find_program(TORVANE_DLLTOOL NAMES ${TORVANE_MINGW_TRIPLE}-dlltool REQUIRED)
    foreach(name IN LISTS ARGN)
        set(import_library "${CMAKE_FIND_ROOT_PATH}/lib/lib${name}.a")
        set(def "${CMAKE_CURRENT_BINARY_DIR}/${name}-delay.def")
        set(delay_library "${CMAKE_CURRENT_BINARY_DIR}/lib${name}-delay.a")
        execute_process(COMMAND "${TORVANE_NM}" -g --defined-only "${import_library}"
            OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
        # "__imp_Name" on x86_64, "__imp__Name@N" on i686, one per export.
        string(REGEX MATCHALL "I __imp_[^\r\n]+" imports "${symbols}")
        set(exports "")
        foreach(import IN LISTS imports)
            string(REGEX REPLACE "^I __imp_" "" export "${import}")
            if(CMAKE_SIZEOF_VOID_P EQUAL 4)
                string(REGEX REPLACE "^_" "" export "${export}")
            endif()
            string(APPEND exports "    ${export}\n")
        endforeach()
        file(WRITE "${def}" "LIBRARY ${name}.dll\nEXPORTS\n${exports}")
        add_custom_command(OUTPUT "${delay_library}"
            COMMAND "${TORVANE_DLLTOOL}" --input-def "${def}" --dllname "${name}.dll"
                --kill-at --output-delaylib "${delay_library}"
            DEPENDS "${def}" VERBATIM)
        add_custom_target(${target}_${name}_delay DEPENDS "${delay_library}")
        add_dependencies(${target} ${target}_${name}_delay)
        target_link_libraries(${target} PRIVATE "${delay_library}")
    endforeach()
endfunction()

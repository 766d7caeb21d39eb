# A build tree keeps what its first configure found, even when that configure
# failed: run before the cross compiler was installed, it caches the host's
# ar and ld and empty release flags, and every later configure quietly builds
# with them. Such a tree is refused, with the way to start it afresh.
function(torvane_refuse_stale_cache reason)
    # The presets' trees are build/<preset>.
    get_filename_component(parent "${CMAKE_BINARY_DIR}" DIRECTORY)
    set(preset "<preset>")
    if(parent STREQUAL "${CMAKE_SOURCE_DIR}/build")
        get_filename_component(preset "${CMAKE_BINARY_DIR}" NAME)
    endif()
    message(FATAL_ERROR "${CMAKE_BINARY_DIR} was configured ${reason}, which CMake would "
        "keep. Start it afresh (or delete the folder):\n"
        "  cmake --fresh --preset ${preset}\n")
endfunction()

# torvane_expect_cached(variable value): a cached variable must hold value.
function(torvane_expect_cached variable value)
    if(DEFINED CACHE{${variable}} AND NOT "$CACHE{${variable}}" STREQUAL "${value}")
        torvane_refuse_stale_cache("with ${variable} '$CACHE{${variable}}', not '${value}'")
    endif()
endfunction()

# The build type's own flags (-Os -DNDEBUG for MinSizeRel) are never empty
# unless a failed configure left them so.
function(torvane_expect_build_type_flags)
    if(NOT DEFINED CACHE{CMAKE_BUILD_TYPE} OR "$CACHE{CMAKE_BUILD_TYPE}" STREQUAL "")
        return()
    endif()
    string(TOUPPER "$CACHE{CMAKE_BUILD_TYPE}" type)
    foreach(language C CXX)
        set(variable CMAKE_${language}_FLAGS_${type})
        if(DEFINED CACHE{${variable}} AND "$CACHE{${variable}}" STREQUAL "")
            torvane_refuse_stale_cache("with an empty ${variable}")
        endif()
    endforeach()
endfunction()

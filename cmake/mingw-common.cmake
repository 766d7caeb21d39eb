# Cross compiling with mingw-w64's posix-thread toolchain; everything is
# linked statically so the executables need only DLLs that ship with Windows.
#
# The compiler and every tool are found here, by their full names, before
# CMake looks for anything itself: when one is missing the configure stops at
# once and names the package to install, instead of caching the host's tools
# (see TorvaneFreshCache.cmake).
include("${CMAKE_CURRENT_LIST_DIR}/TorvaneFreshCache.cmake")

string(REPLACE "_" "-" package_arch "${CMAKE_SYSTEM_PROCESSOR}")
function(torvane_mingw_tool variable tool package)
    unset(tool_path)
    find_program(tool_path NAMES ${TORVANE_MINGW_TRIPLE}-${tool} NO_CACHE)
    if(NOT tool_path)
        message(FATAL_ERROR "${TORVANE_MINGW_TRIPLE}-${tool} was not found: install the "
            "package ${package} (sudo apt-get install ${package}; scripts/run and "
            "scripts/test install what is missing), then configure again.")
    endif()
    if(NOT CMAKE_IN_TRY_COMPILE)
        torvane_expect_cached(${variable} "${tool_path}")
    endif()
    set(${variable} "${tool_path}" PARENT_SCOPE)
endfunction()
torvane_mingw_tool(CMAKE_CXX_COMPILER g++-posix g++-mingw-w64-${package_arch}-posix)
torvane_mingw_tool(CMAKE_C_COMPILER gcc-posix gcc-mingw-w64-${package_arch}-posix)
foreach(tool AR RANLIB LINKER NM OBJCOPY OBJDUMP STRIP DLLTOOL)
    string(TOLOWER "${tool}" name)
    if(tool STREQUAL "LINKER")
        set(name ld)
    endif()
    torvane_mingw_tool(CMAKE_${tool} ${name} binutils-mingw-w64-${package_arch})
endforeach()
torvane_mingw_tool(CMAKE_RC_COMPILER windres binutils-mingw-w64-${package_arch})

set(CMAKE_FIND_ROOT_PATH /usr/${TORVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

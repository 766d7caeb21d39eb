# Every target is built with warnings as errors and the same Windows
# definitions, whatever the compiler, and the Windows builds with the stack
# protector (MSVC's /GS is on by default; mingw's is linked statically, and
# Torvane.exe seeds its guard itself, in app/StackGuard.cpp).
function(torvane_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /WX /permissive- /utf-8 /EHsc)
    else()
        target_compile_options(${target} PRIVATE
            -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
            -Wcast-align -Woverloaded-virtual -Wnull-dereference -Werror)
    endif()
    if(MINGW)
        target_compile_options(${target} PRIVATE -fstack-protector-strong)
        target_link_options(${target} PRIVATE -fstack-protector-strong)
    endif()
    if(WIN32)
        target_compile_definitions(${target} PRIVATE
            UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX WIN32_LEAN_AND_MEAN)
    endif()
endfunction()

# Warnings are errors throughout the project.
function(orvochart_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /WX)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
            -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Wunused -Woverloaded-virtual
            -Wconversion
            -Wformat=2 -Wimplicit-fallthrough -Werror)
    endif()
endfunction()

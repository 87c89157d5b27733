if(ORVOCHART_SANITIZE)
    if(MSVC)
        message(FATAL_ERROR "ORVOCHART_SANITIZE needs GCC or Clang")
    endif()
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

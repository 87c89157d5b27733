# Windows builds (MinGW-w64, see cmake/toolchains/mingw-w64-x86_64.cmake).
#
# The modules and the tool need libtiff, qpdf, cairo, libjpeg-turbo and
# libpng, which a cross build finds only in the prefix that
# scripts/windows-deps.sh fills. Without them the library, its colour
# functions and the tests of both are still built.
find_package(PkgConfig QUIET)
set(ORVOCHART_WINDOWS_DEPS libtiff-4 libqpdf cairo libturbojpeg libpng)
if(PKG_CONFIG_FOUND)
    pkg_check_modules(ORVOCHART_WINDOWS_DEPS QUIET ${ORVOCHART_WINDOWS_DEPS})
endif()
if(NOT ORVOCHART_WINDOWS_DEPS_FOUND)
    # A prefix that was given but falls short is a mistake worth a warning.
    set(level NOTICE)
    set(reason "no ORVOCHART_WINDOWS_PREFIX given")
    if(ORVOCHART_WINDOWS_PREFIX)
        set(level WARNING)
        list(JOIN ORVOCHART_WINDOWS_DEPS ", " wanted)
        set(reason "${ORVOCHART_WINDOWS_PREFIX}/lib/pkgconfig lacks one of ${wanted}")
    endif()
    message(${level} "Windows build without the third-party libraries (${reason}): "
        "building the library and its colour functions only; the modules DbgOut and wxPDF, "
        "the tool and the tests needing them are skipped. scripts/windows-deps.sh makes "
        "the prefix.")
    set(ORVOCHART_MODULES OFF)
    set(ORVOCHART_TOOL OFF)
endif()

# Programs built here run through wine with a prefix of the build's own, made
# on first use, and without wine's debug chatter.
if(CMAKE_CROSSCOMPILING AND CMAKE_CROSSCOMPILING_EMULATOR)
    list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 runner)
    get_filename_component(runner_name ${runner} NAME)
    if(runner_name MATCHES "^wine")
        set(ORVOCHART_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH
            "Wine prefix in which the Windows build's programs run")
        set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env
            WINEPREFIX=${ORVOCHART_WINEPREFIX} WINEDEBUG=-all ${CMAKE_CROSSCOMPILING_EMULATOR})
        set(ORVOCHART_WINE ${runner})
    endif()
endif()

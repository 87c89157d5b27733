# The Windows DLL's export names (see cmake/ExportDef.cmake), included from
# src/CMakeLists.txt. clang for the MSVC target names the exports as MSVC
# does without needing MSVC's headers; llvm-nm reads both compilers'
# objects; llvm-dlltool writes the import library for MSVC hosts.
find_program(ORVOCHART_MSVC_CLANG NAMES clang-14 clang
    DOC "clang that targets x86_64-pc-windows-msvc, for MSVC's export names")
find_program(ORVOCHART_LLVM_NM NAMES llvm-nm-14 llvm-nm)
find_program(ORVOCHART_LLVM_DLLTOOL NAMES llvm-dlltool-14 llvm-dlltool)
foreach(tool ORVOCHART_MSVC_CLANG ORVOCHART_LLVM_NM ORVOCHART_LLVM_DLLTOOL)
    if(NOT ${tool})
        message(FATAL_ERROR "${tool} not found: the DLL's MSVC export names are made with "
            "clang, llvm-nm and llvm-dlltool (Debian: clang-14, llvm-14)")
    endif()
endforeach()
set(ORVOCHART_MSVC_TARGET_FLAGS --target=x86_64-pc-windows-msvc -std=c++17 -ffreestanding
    -nostdlibinc -isystem ${PROJECT_SOURCE_DIR}/cmake/msvc
    CACHE INTERNAL "clang flags for code built for the MSVC ABI without MSVC's headers")

set(names ${CMAKE_CURRENT_SOURCE_DIR}/api/ExportNames.txt)
set(script ${PROJECT_SOURCE_DIR}/cmake/ExportDef.cmake)
set(probe ${CMAKE_CURRENT_BINARY_DIR}/ExportProbe.cpp)
set(msvc_probe ${CMAKE_CURRENT_BINARY_DIR}/ExportProbe.msvc.obj)
set(def ${CMAKE_CURRENT_BINARY_DIR}/OrvoChartInterfaceShared.def)
set(imports ${CMAKE_CURRENT_BINARY_DIR}/OrvoChartInterfaceShared.imports.def)
set(msvc_import_lib ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}/OrvoChartInterfaceShared.lib)
set(header ${PROJECT_SOURCE_DIR}/include/OrvoChartInterface.h)

add_custom_command(OUTPUT ${probe}
    COMMAND ${CMAKE_COMMAND} -DSTEP=probe -DNAMES=${names} -DOUTPUT=${probe} -P ${script}
    DEPENDS ${names} ${script}
    COMMENT "Writing the export-name probe")

# GCC's names: the probe compiled like any MinGW host.
add_library(orvochart_export_probe OBJECT ${probe})
target_include_directories(orvochart_export_probe PRIVATE ${PROJECT_SOURCE_DIR}/include)
target_compile_definitions(orvochart_export_probe PRIVATE ORVOCHART_STATIC)
orvochart_warnings(orvochart_export_probe)

# MSVC's names: the probe compiled as an MSVC host would.
add_custom_command(OUTPUT ${msvc_probe}
    COMMAND ${ORVOCHART_MSVC_CLANG} ${ORVOCHART_MSVC_TARGET_FLAGS} -Wall -Wextra -Werror
            -I${PROJECT_SOURCE_DIR}/include -DORVOCHART_STATIC -c ${probe} -o ${msvc_probe}
    DEPENDS ${probe} ${header} ${PROJECT_SOURCE_DIR}/cmake/msvc/cstdint
    COMMENT "Compiling the export-name probe for the MSVC ABI")

add_custom_command(OUTPUT ${def} ${imports}
    COMMAND ${CMAKE_COMMAND} -DSTEP=def -DNAMES=${names} -DNM=${ORVOCHART_LLVM_NM}
            "-DGNU_OBJECT=$<TARGET_OBJECTS:orvochart_export_probe>" -DMSVC_OBJECT=${msvc_probe}
            -DOUTPUT=${def} -DIMPORTS=${imports} -DLIBRARY=OrvoChartInterfaceShared.dll
            -P ${script}
    DEPENDS orvochart_export_probe $<TARGET_OBJECTS:orvochart_export_probe> ${msvc_probe}
            ${names} ${script}
    COMMENT "Listing the DLL's export names")
target_sources(OrvoChartInterfaceShared PRIVATE ${def})

add_custom_command(OUTPUT ${msvc_import_lib}
    COMMAND ${ORVOCHART_LLVM_DLLTOOL} -m i386:x86-64 -d ${imports}
            -D OrvoChartInterfaceShared.dll -l ${msvc_import_lib}
    DEPENDS ${imports}
    COMMENT "Writing the import library for MSVC hosts")
add_custom_target(orvochart_msvc_import_lib ALL DEPENDS ${msvc_import_lib})
set(ORVOCHART_MSVC_IMPORT_LIB ${msvc_import_lib} CACHE INTERNAL "Import library for MSVC hosts")

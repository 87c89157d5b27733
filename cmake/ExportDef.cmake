# Windows export names, from src/api/ExportNames.txt. A host finds each export
# of the DLL under GCC's C++ name (MinGW hosts), MSVC's C++ name (hosts built
# with MSVC, through the import library) and its plain name (GetProcAddress,
# ctypes, C#, Delphi); the last two are aliases the linker adds for the first.
#
# Both decorated names are the compilers' own: a probe that takes the address
# of every export is compiled once by the MinGW compiler and once by clang for
# the MSVC target, and the names its objects import are read back with nm.
#
#   cmake -DSTEP=probe -DNAMES=ExportNames.txt -DOUTPUT=ExportProbe.cpp -P ExportDef.cmake
#   cmake -DSTEP=def -DNAMES=ExportNames.txt -DNM=llvm-nm -DGNU_OBJECT=probe.o
#         -DMSVC_OBJECT=probe.obj -DOUTPUT=OrvoChartInterfaceShared.def
#         -DIMPORTS=OrvoChartInterfaceShared.imports.def -DLIBRARY=OrvoChartInterfaceShared.dll
#         -P ExportDef.cmake
#
# OUTPUT is the linker's .def (names and aliases); IMPORTS lists the names
# alone, as the DLL exports them, for making the MSVC import library.

function(write_if_changed path content)
    file(WRITE ${path}.new "${content}")
    file(COPY_FILE ${path}.new ${path} ONLY_IF_DIFFERENT)
    file(REMOVE ${path}.new)
endfunction()

# Undefined symbols of an object file, one list entry each.
function(imported_symbols object out)
    execute_process(COMMAND ${NM} -u ${object} OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${NM} cannot read ${object}")
    endif()
    string(REGEX MATCHALL "U [^\n]+" entries "${listing}")
    list(TRANSFORM entries REPLACE "^U " "")
    set(${out} ${entries} PARENT_SCOPE)
endfunction()

# The one entry of `symbols` matching `pattern`, else a fatal error.
function(the_symbol name kind pattern symbols out)
    set(found)
    foreach(symbol IN LISTS symbols)
        if(symbol MATCHES "${pattern}")
            list(APPEND found "${symbol}")
        endif()
    endforeach()
    list(LENGTH found count)
    if(NOT count EQUAL 1)
        message(FATAL_ERROR "export ${name}: ${count} ${kind} names found (${found})")
    endif()
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

file(STRINGS ${NAMES} names REGEX "^[A-Za-z_]")

if(STEP STREQUAL "probe")
    set(source "// Generated from ExportNames.txt: the address of every export, so that the\n")
    string(APPEND source "// object names each one as its compiler decorates it.\n")
    string(APPEND source "#include \"OrvoChartInterface.h\"\n\nusing ProbeEntry = void (*)();\n")
    string(APPEND source "extern \"C\" const ProbeEntry orvochart_export_probe[];\n")
    string(APPEND source "const ProbeEntry orvochart_export_probe[] = {\n")
    foreach(name IN LISTS names)
        string(APPEND source "    reinterpret_cast<ProbeEntry>(&${name}),\n")
    endforeach()
    string(APPEND source "};\n")
    write_if_changed(${OUTPUT} "${source}")
elseif(STEP STREQUAL "def")
    imported_symbols(${GNU_OBJECT} gnu_symbols)
    imported_symbols(${MSVC_OBJECT} msvc_symbols)
    set(def "; Generated from ExportNames.txt: GCC's names, MSVC's and the plain ones.\n")
    string(APPEND def "LIBRARY ${LIBRARY}\nEXPORTS\n")
    set(imports "LIBRARY ${LIBRARY}\nEXPORTS\n")
    foreach(name IN LISTS names)
        string(LENGTH ${name} length)
        the_symbol(${name} GCC "^_Z${length}${name}" "${gnu_symbols}" gnu)
        # MSVC decorates a function at global scope as ?name@@ and its type.
        the_symbol(${name} MSVC "^\\?${name}@@" "${msvc_symbols}" msvc)
        string(APPEND def "    ${gnu}\n    \"${msvc}\" = ${gnu}\n    ${name} = ${gnu}\n")
        string(APPEND imports "    ${gnu}\n    \"${msvc}\"\n    ${name}\n")
    endforeach()
    write_if_changed(${OUTPUT} "${def}")
    write_if_changed(${IMPORTS} "${imports}")
else()
    message(FATAL_ERROR "ExportDef.cmake: STEP must be probe or def")
endif()

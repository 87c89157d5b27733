# Writes a linker script that gives every exported function its plain name
# as a second symbol of the same address ("createChart" beside
# "_Z11createChart..."), so that hosts without a C++ name decoder (ctypes,
# dlsym by name) find each export under the name it is documented by.
#
#   cmake -DNM=nm -DARCHIVE=liborvochart_core.a -DNAMES=ExportNames.txt
#         -DOUTPUT=ExportAliases.ld -P ExportAliases.cmake
#
# A function at global scope has the decorated name _Z<length><name><params>;
# exactly one such definition must exist per listed name.
execute_process(COMMAND ${NM} -g --defined-only ${ARCHIVE}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${NM} cannot read ${ARCHIVE}")
endif()
string(REGEX MATCHALL "[A-Za-z] _Z[0-9]+[A-Za-z_][A-Za-z0-9_]*" defined "${symbols}")

file(STRINGS ${NAMES} names REGEX "^[A-Za-z_]")
set(script "/* Generated from ExportNames.txt: plain names of the exports. */\n")
foreach(name IN LISTS names)
    string(LENGTH ${name} length)
    set(found)
    foreach(entry IN LISTS defined)
        if(entry MATCHES "^T (_Z${length}${name}.*)$")
            list(APPEND found ${CMAKE_MATCH_1})
        endif()
    endforeach()
    list(REMOVE_DUPLICATES found)
    list(LENGTH found count)
    if(NOT count EQUAL 1)
        message(FATAL_ERROR "export ${name}: ${count} definitions found (${found})")
    endif()
    string(APPEND script "${name} = ${found};\n")
endforeach()
file(WRITE ${OUTPUT}.new "${script}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)

# Refuses an include that runs upward. Each folder of src/ may include from
# itself and from the folders listed for it, which all lie below it:
#
#   api -> instruments -> engine -> cgats -> render -> outside -> base, platform
#                                  engine -> color
#
# Run at configure time from src/CMakeLists.txt and again at every build
# (target check_layers), so a new include is refused before it is compiled.
# As a script: cmake -DSRC_DIR=<src> -P CheckLayers.cmake

set(ORVOCHART_LAYER_platform "")
set(ORVOCHART_LAYER_base "")
set(ORVOCHART_LAYER_color "")
set(ORVOCHART_LAYER_outside base platform)
set(ORVOCHART_LAYER_render outside base platform)
set(ORVOCHART_LAYER_cgats render outside base platform)
set(ORVOCHART_LAYER_engine cgats render color outside base platform)
set(ORVOCHART_LAYER_instruments engine cgats render color outside base platform)
set(ORVOCHART_LAYER_api instruments engine cgats render color outside base platform)
set(ORVOCHART_LAYERS platform base color outside render cgats engine instruments api)

function(orvochart_check_layers src_dir)
    set(faults "")
    foreach(folder IN LISTS ORVOCHART_LAYERS)
        file(GLOB files ${src_dir}/${folder}/*.h ${src_dir}/${folder}/*.cpp)
        set(allowed ${folder} ${ORVOCHART_LAYER_${folder}})
        foreach(file IN LISTS files)
            file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[A-Za-z0-9_]+/")
            foreach(line IN LISTS includes)
                string(REGEX REPLACE "^[^\"]*\"([A-Za-z0-9_]+)/.*$" "\\1" target "${line}")
                list(FIND allowed ${target} at)
                if(at EQUAL -1)
                    file(RELATIVE_PATH shown ${src_dir} ${file})
                    string(APPEND faults "\n  ${shown}: ${line} (${folder} may include only: ${allowed})")
                endif()
            endforeach()
        endforeach()
    endforeach()
    file(GLOB folders LIST_DIRECTORIES true ${src_dir}/*)
    foreach(path IN LISTS folders)
        get_filename_component(name ${path} NAME)
        list(FIND ORVOCHART_LAYERS ${name} known)
        if(IS_DIRECTORY ${path} AND known EQUAL -1)
            string(APPEND faults "\n  src/${name}: a folder without a place in the layers")
        endif()
    endforeach()
    if(faults)
        message(FATAL_ERROR "Includes that run upward:${faults}")
    endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
    orvochart_check_layers(${SRC_DIR})
endif()

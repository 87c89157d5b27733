# Installation and the Debian package: the library, its two modules in the
# library's folder of modules ("orvochart/" beside it, where it looks for
# them; on Windows the DLL's folder is bin/), the header, the tool, a CMake
# package (find_package(OrvoChart) gives OrvoChart::OrvoChartInterfaceShared),
# a pkg-config file ("orvochart") and the Python binding.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ORVOCHART_PYTHON_DIR lib/python3/dist-packages CACHE STRING
    "Folder of the Python binding, relative to the installation prefix")
set(ORVOCHART_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/OrvoChart)

install(TARGETS OrvoChartInterfaceShared EXPORT OrvoChartTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/OrvoChartInterface.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
if(TARGET orvochart)
    install(TARGETS orvochart RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# Windows keeps the DLL in the program folder, so its modules go below that.
if(WIN32)
    set(ORVOCHART_MODULE_INSTALL_DIR ${CMAKE_INSTALL_BINDIR}/orvochart)
    install(FILES ${ORVOCHART_MSVC_IMPORT_LIB} DESTINATION ${CMAKE_INSTALL_LIBDIR})
else()
    set(ORVOCHART_MODULE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/orvochart)
endif()
foreach(module DbgOut wxPDF)
    if(TARGET ${module})
        install(TARGETS ${module} LIBRARY DESTINATION ${ORVOCHART_MODULE_INSTALL_DIR})
    endif()
endforeach()

install(EXPORT OrvoChartTargets NAMESPACE OrvoChart:: DESTINATION ${ORVOCHART_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/OrvoChartConfig.cmake.in
    ${PROJECT_BINARY_DIR}/OrvoChartConfig.cmake INSTALL_DESTINATION ${ORVOCHART_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/OrvoChartConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/OrvoChartConfig.cmake
    ${PROJECT_BINARY_DIR}/OrvoChartConfigVersion.cmake DESTINATION ${ORVOCHART_CMAKE_DIR})

# The .pc file names the prefix from its own place: the installation can move.
file(RELATIVE_PATH ORVOCHART_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" ORVOCHART_PC_TO_PREFIX "${ORVOCHART_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/orvochart.pc.in ${PROJECT_BINARY_DIR}/orvochart.pc
    @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/orvochart.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The binding finds the library by the way from its own folder to the
# library folder, whatever the prefix. It knows the library by its Linux file
# name only, so a Windows installation goes without it.
if(NOT WIN32)
    file(RELATIVE_PATH ORVOCHART_PYTHON_TO_LIB /prefix/${ORVOCHART_PYTHON_DIR}/orvochart
        /prefix/${CMAKE_INSTALL_LIBDIR})
    configure_file(${PROJECT_SOURCE_DIR}/python/orvochart/_installed.py.in
        ${PROJECT_BINARY_DIR}/python/_installed.py @ONLY)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/python/orvochart DESTINATION ${ORVOCHART_PYTHON_DIR}
        FILES_MATCHING PATTERN "*.py")
    install(FILES ${PROJECT_BINARY_DIR}/python/_installed.py
        DESTINATION ${ORVOCHART_PYTHON_DIR}/orvochart)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvochart)
set(CPACK_PACKAGE_VENDOR orvochart)
set(CPACK_PACKAGE_CONTACT "orvochart developers <orvochart@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "colour-measurement test charts: library, command-line tool, Python binding")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# dpkg-shlibdeps declares what the library, the modules and the tool load:
# libtiff, qpdf, cairo and libjpeg-turbo among them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS python3)
set(CPACK_STRIP_FILES ON)
include(CPack)

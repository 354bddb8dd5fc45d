# Install rules: the static libraries, every public header under include/ryx/, the
# CMake package (find_package(ryx) -> ryx::ryx) and the pkg-config file ryx.pc.
include(CMakePackageConfigHelpers)

set(RYX_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/ryx)

install(TARGETS ryx_host ryx EXPORT ryxTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT ryxTargets NAMESPACE ryx:: FILE ryxTargets.cmake DESTINATION ${RYX_INSTALL_CMAKEDIR})

# Headers keep the source layout, so installed code includes them as the tree
# does: #include "host/rtl/object.h", #include "frame/ryxinfo.h".
foreach(dir host ${RYX_PACKAGE_DIRS})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${dir}/ OPTIONAL
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ryx/${dir}
          FILES_MATCHING PATTERN "*.h")
endforeach()

string(REPLACE ";" " " RYX_PKG_MODULES_STR "${RYX_PKG_MODULES}")
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ryxConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/ryxConfig.cmake
                              INSTALL_DESTINATION ${RYX_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ryxConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/ryxConfig.cmake ${PROJECT_BINARY_DIR}/ryxConfigVersion.cmake
        DESTINATION ${RYX_INSTALL_CMAKEDIR})

# ryx.pc finds its prefix from its own location, so the install can be moved
# (and cmake --install --prefix works whatever the configured prefix was).
file(RELATIVE_PATH RYX_PC_PREFIX_FROM_PCDIR ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" RYX_PC_PREFIX_FROM_PCDIR "${RYX_PC_PREFIX_FROM_PCDIR}")
if(RYX_PC_PREFIX_FROM_PCDIR STREQUAL "")
  set(RYX_PC_PREFIX_FROM_PCDIR ".")
endif()
set(RYX_PC_LIBS "-lpthread")
if(CMAKE_DL_LIBS)
  string(APPEND RYX_PC_LIBS " -l${CMAKE_DL_LIBS}")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/ryx.pc.in ${PROJECT_BINARY_DIR}/ryx.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/ryx.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# cmake --install <build> --prefix P: P/lib/libsubclientconf.so*,
# P/include/subclientconf/<folder>/*.h (the public headers only), the CMake package
# (find_package(subclientconf) -> subclientconf::subclientconf) and
# P/lib/pkgconfig/subclientconf.pc.
include(CMakePackageConfigHelpers)

set(SUBCLIENTCONF_CMAKE_DIR lib/cmake/subclientconf)

install(TARGETS subclientconf EXPORT subclientconfTargets
  LIBRARY DESTINATION lib
  ARCHIVE DESTINATION lib
  RUNTIME DESTINATION bin)

foreach(header ${SUBCLIENTCONF_PUBLIC_HEADERS})
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${header} DESTINATION include/subclientconf/${folder})
endforeach()

install(EXPORT subclientconfTargets
  NAMESPACE subclientconf::
  DESTINATION ${SUBCLIENTCONF_CMAKE_DIR})

configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/subclientconfConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/subclientconfConfig.cmake
  INSTALL_DESTINATION ${SUBCLIENTCONF_CMAKE_DIR})
write_basic_package_version_file(
  ${CMAKE_CURRENT_BINARY_DIR}/subclientconfConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/subclientconfConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/subclientconfConfigVersion.cmake
  DESTINATION ${SUBCLIENTCONF_CMAKE_DIR})

# The prefix is only known at install time (--prefix), so the .pc file finds
# its tree relative to itself.
configure_file(${CMAKE_CURRENT_LIST_DIR}/subclientconf.pc.in
  ${CMAKE_CURRENT_BINARY_DIR}/subclientconf.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/subclientconf.pc DESTINATION lib/pkgconfig)

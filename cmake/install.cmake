# cmake --install: the programs in bin/, the library and its header in lib/
# and include/, the shipped table, front and option space in share/getChar/, a CMake
# package for find_package(getChar), and the aligners laid out for the
# installed alnadvise in libexec/getChar/tools.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS getChar alnscore alnadvise alntrain RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS getCharLib EXPORT getCharTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES src/getChar.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES data/reference-table.txt data/front.txt data/option-space.json data/choice-model.json
  data/cost-model.json data/gain-model.json data/confidence-calibration.json
        DESTINATION ${CMAKE_INSTALL_DATADIR}/getChar)
install(PROGRAMS scripts/install-aligners scripts/install-deps
        DESTINATION ${CMAKE_INSTALL_DATADIR}/getChar/scripts)

install(EXPORT getCharTargets NAMESPACE getChar:: FILE getCharTargets.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/getChar)
# The exported name is getChar::getChar, the library's file libgetChar.a.
set_target_properties(getCharLib PROPERTIES EXPORT_NAME getChar)
configure_package_config_file(cmake/getCharConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/getCharConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/getChar
  PATH_VARS CMAKE_INSTALL_BINDIR CMAKE_INSTALL_DATADIR)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/getCharConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/getCharConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/getCharConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/getChar)

# The aligners as the installed alnadvise finds them; the scorer is the
# installed alnscore. An install changes none of the system's packages: what
# is missing is named (scripts/install-deps installs it).
# GETCHAR_SKIP_ALIGNERS=1 in the environment skips this.
install(CODE "
  if(NOT \"\$ENV{GETCHAR_SKIP_ALIGNERS}\" STREQUAL \"1\")
    set(prefix \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    execute_process(
      COMMAND bash \"${CMAKE_CURRENT_SOURCE_DIR}/scripts/install-aligners\" --no-install
              \"\${prefix}/${CMAKE_INSTALL_LIBEXECDIR}/getChar/tools\"
              \"\${prefix}/${CMAKE_INSTALL_BINDIR}/alnscore\"
      RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR \"laying out the aligners failed (status \${status})\")
    endif()
  endif()
")

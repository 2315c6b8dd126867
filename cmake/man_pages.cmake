# Man pages of the programs, made by help2man from each program's own --help
# and --version once it is built, and installed in share/man/man1. Without
# help2man the build goes on without them (scripts/install-deps installs it).
include(GNUInstallDirs)

find_program(HELP2MAN help2man)
if(NOT HELP2MAN)
  message(STATUS "help2man not found: the man pages are not built")
  set(GETCHAR_MAN_PAGES OFF CACHE INTERNAL "Whether the man pages are built")
  return()
endif()
set(GETCHAR_MAN_PAGES ON CACHE INTERNAL "Whether the man pages are built")

set(GETCHAR_MAN_DIR ${CMAKE_BINARY_DIR}/man)
file(MAKE_DIRECTORY ${GETCHAR_MAN_DIR})

# program -> the one line of its NAME section.
set(man_getChar "features of a protein data set and the aligner of its nearest reference")
set(man_alnadvise "advise and run the best aligner configuration for a protein data set")
set(man_alntrain "learn the advisor's table, front and models from benchmark data sets")
set(man_alnscore "score a test alignment against a reference alignment (Q and TC)")

set(man_pages)
foreach(program getChar alnadvise alntrain alnscore)
  set(page ${GETCHAR_MAN_DIR}/${program}.1)
  # help2man writes the page even when a run fails: the output goes to a
  # temporary file that is renamed only on success.
  add_custom_command(
    OUTPUT ${page}
    COMMAND ${HELP2MAN} --no-info --name=${man_${program}}
            --output=${page}.tmp $<TARGET_FILE:${program}>
    COMMAND ${CMAKE_COMMAND} -E rename ${page}.tmp ${page}
    DEPENDS ${program}
    COMMENT "Man page of ${program}"
    VERBATIM)
  list(APPEND man_pages ${page})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

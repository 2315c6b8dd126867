# The man pages (cmake/man_pages.cmake) rendered by man, and pip install of
# the Python package into a fresh virtual environment (setup.py).
if(GETCHAR_MAN_PAGES)
  add_test(NAME man_pages
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/man_pages_test.sh ${CMAKE_BINARY_DIR}
                   ${PROJECT_VERSION})
  set_tests_properties(man_pages PROPERTIES LABELS man TIMEOUT 60)
endif()

# The pip build compiles the core and the libraries once more, apart: the
# release tree runs it (the module is not built under the sanitizers).
if(TARGET getchar)
  add_test(NAME pip_install_module
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/pip_install_test.sh ${PROJECT_SOURCE_DIR}
                   ${CMAKE_BINARY_DIR})
  set_tests_properties(pip_install_module PROPERTIES LABELS "install;python" TIMEOUT 1800)
endif()

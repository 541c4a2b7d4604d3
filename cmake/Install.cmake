# Install layout and the Debian package.
#
# The helper finds its engine at <its own folder>/runtime, so both go into one private folder:
#   <prefix>/lib/zq_builder_helper/zq_builder_helper
#   <prefix>/lib/zq_builder_helper/runtime/scriptorix.exe and every other runtime file
#   <prefix>/bin/zq_builder_helper -> ../lib/zq_builder_helper/zq_builder_helper
# The helper resolves its own path through /proc/self/exe, so the link needs no configuration.
include(GNUInstallDirs)

set(ZQ_INSTALL_APP_DIR lib/zq_builder_helper)
set(ZQ_INSTALL_RUNTIME_DIR ${ZQ_INSTALL_APP_DIR}/runtime)

install(TARGETS zq_builder_helper RUNTIME DESTINATION ${ZQ_INSTALL_APP_DIR})

if(TARGET scriptorix)
  install(TARGETS scriptorix RUNTIME DESTINATION ${ZQ_INSTALL_RUNTIME_DIR})
  # The rest of the runtime is laid out in the build folder at configure time.
  install(DIRECTORY ${PROJECT_BINARY_DIR}/runtime/ DESTINATION ${ZQ_INSTALL_RUNTIME_DIR}
          PATTERN scriptorix.exe EXCLUDE)
endif()

# What a user needs beside the programs: the documents, the task schema, the examples.
set(ZQ_INSTALL_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/zq-builder-helper)
install(FILES README.md packaging/copyright DESTINATION ${ZQ_INSTALL_DOC_DIR})
install(FILES docs/design-notes.md DESTINATION ${ZQ_INSTALL_DOC_DIR}/docs)
install(FILES scriptorix/README.md DESTINATION ${ZQ_INSTALL_DOC_DIR}/scriptorix)
install(DIRECTORY examples/ DESTINATION ${ZQ_INSTALL_DOC_DIR}/examples PATTERN out EXCLUDE)
# Tools read the schema, so it lives with the data rather than among removable documents.
install(FILES schema/task.schema.json DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/zq-builder-helper)

if(NOT WIN32)
  # A relative link, so the tree works wherever it is unpacked.
  file(RELATIVE_PATH zq_link_target /${CMAKE_INSTALL_BINDIR}
       /${ZQ_INSTALL_APP_DIR}/zq_builder_helper)
  set(zq_link_dir ${PROJECT_BINARY_DIR}/install-links)
  file(MAKE_DIRECTORY ${zq_link_dir})
  file(CREATE_LINK ${zq_link_target} ${zq_link_dir}/zq_builder_helper SYMBOLIC)
  install(FILES ${zq_link_dir}/zq_builder_helper DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zq-builder-helper)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(ZQ_PACKAGE_MAINTAINER
    "zq_builder_helper maintainers <maintainers@users.noreply.c-seed-79427af0.example>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${ZQ_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZQ_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Creates and edits spreadsheet workbooks from JSON task files")
set(CPACK_PACKAGE_DESCRIPTION
    "zq_builder_helper reads a JSON task (values, formulas, formats, sheets, defined names and\nread-back commands), turns it into a script and runs the bundled headless spreadsheet engine\nscriptorix on it to write an .xlsx workbook and an optional JSON file of answers.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# dpkg-shlibdeps turns the libraries the programs link (JavaScriptCore, libzip, pugixml, the C++
# runtime) into the package's Depends line.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# gzip keeps building the package in the tests fast; the size gain of xz is small once stripped.
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
include(CPack)

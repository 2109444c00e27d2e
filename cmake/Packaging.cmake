# SPDX-License-Identifier: MIT
# Install rules and packages: on Linux a Debian package that lintian passes
# and a tarball of the tool with its manual page, README, licence and
# example; on Windows a zip of the exe with the README, licence and example.
include(GNUInstallDirs)

set(TOVREK_DEBIAN_REVISION 1)

# The version also stands in the manual page footer and the Debian changelog.
file(STRINGS doc/tovrek.1 manTitle REGEX "^\\.TH ")
if(NOT manTitle MATCHES "\"tovrek ${PROJECT_VERSION}\"")
  message(FATAL_ERROR "doc/tovrek.1 does not name version ${PROJECT_VERSION}: ${manTitle}")
endif()
file(STRINGS packaging/changelog debianTitle LIMIT_COUNT 1)
if(NOT debianTitle MATCHES "^tovrek \\(${PROJECT_VERSION}-${TOVREK_DEBIAN_REVISION}\\) ")
  message(FATAL_ERROR "packaging/changelog does not begin with version "
                      "${PROJECT_VERSION}-${TOVREK_DEBIAN_REVISION}: ${debianTitle}")
endif()

if(WIN32)
  # A flat folder, as a Windows user unpacks and runs it.
  install(TARGETS tovrek RUNTIME DESTINATION .)
  install(FILES README.md LICENSE CHANGELOG.md DESTINATION .)
  install(FILES examples/sample.unf DESTINATION examples)
  set(CPACK_PACKAGE_FILE_NAME tovrek-${PROJECT_VERSION}-win64)
else()
  # Compressed as Debian does, with gzip -9n: no name or time is kept, so
  # every build gives the same bytes.
  set(compressed)
  foreach(pair "doc/tovrek.1|tovrek.1.gz" "CHANGELOG.md|changelog.gz"
               "packaging/changelog|changelog.Debian.gz")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 output)
    add_custom_command(OUTPUT ${output}
                       COMMAND sh -c "gzip -9n <\"$0\" >\"$1\"" ${PROJECT_SOURCE_DIR}/${source}
                               ${output}
                       DEPENDS ${source} VERBATIM)
    list(APPEND compressed ${CMAKE_CURRENT_BINARY_DIR}/${output})
  endforeach()
  add_custom_target(compressed_docs ALL DEPENDS ${compressed})
  # So that building just the tool is enough to install it.
  add_dependencies(tovrek compressed_docs)

  # Components: "tool" goes everywhere, "licence" into the archives and a
  # plain install, "debian" (the copyright file, which carries the licence,
  # the Debian changelog and the lintian overrides) into the Debian package
  # only. Archives and plain installs take what is not EXCLUDE_FROM_ALL.
  install(TARGETS tovrek RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
  # A stripped install also drops the sections a Debian binary leaves out.
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:tovrek>\")
  endif()" COMPONENT tool)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tovrek.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
          COMPONENT tool)
  install(FILES README.md ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT tool)
  install(FILES examples/sample.unf DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples COMPONENT tool)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT licence)
  install(FILES packaging/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz
          DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)
  install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          RENAME tovrek COMPONENT debian EXCLUDE_FROM_ALL)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
    # dpkg's name for the machine, and the cross C library, whose shlibs
    # file names the real arm64 package to depend on.
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_FIND_ROOT_PATH}/lib)
  endif()
  set(CPACK_DEBIAN_PACKAGE_RELEASE ${TOVREK_DEBIAN_REVISION})
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_COMPONENTS_ALL tool debian)
  set(CPACK_PACKAGE_FILE_NAME tovrek-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
endif()

set(CPACK_PACKAGE_NAME tovrek)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "tovrek maintainers <maintainers@users.noreply.c-seed-99143d26.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "tovrek reads a UNF record file once, forward, and writes one record to\nstandard output, as stored or as a hexadecimal dump.")
include(CPack)

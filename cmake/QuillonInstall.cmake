# What `cmake --install` puts where, and the Debian package (cpack -G DEB).
#   bin/quillon, bin/linkimport        the programs
#   lib/quillon/                       the installation data the programs read:
#                                      libnavkit.so, components.manifest
#                                      (naming the library relative to itself),
#                                      regsvr, _config.dat, userguide.html
#   share/applications, share/icons/hicolor, share/metainfo
# Nothing goes on the system library path. What the programs write lives
# under the user's XDG folders (see PlatformPaths).
set(QUILLON_PRIVATE_DIR lib/quillon)

install(TARGETS quillon linkimport RUNTIME DESTINATION bin)
install(TARGETS navkit LIBRARY DESTINATION ${QUILLON_PRIVATE_DIR})
install(TARGETS regsvr RUNTIME DESTINATION ${QUILLON_PRIVATE_DIR})
install(FILES ${QUILLON_PROGRAM_DIR}/components.manifest data/_config.dat data/userguide.html
        DESTINATION ${QUILLON_PRIVATE_DIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES data/quillon.desktop data/linkimport.desktop DESTINATION share/applications)
install(FILES data/icons/quillon.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES data/icons/quillon-${size}.png DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME quillon.png)
endforeach()
configure_file(data/org.kestrane.QuillonXP.metainfo.xml ${CMAKE_BINARY_DIR}/org.kestrane.QuillonXP.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/org.kestrane.QuillonXP.metainfo.xml DESTINATION share/metainfo)

# What a Debian package carries besides: the copyright, the changelog and
# the manual pages, compressed as Debian wants them (gzip -9n).
install(FILES data/debian/copyright DESTINATION share/doc/quillon)
foreach(doc debian/changelog:share/doc/quillon/changelog.gz debian/quillon.1:share/man/man1/quillon.1.gz
        debian/linkimport.1:share/man/man1/linkimport.1.gz)
  string(REPLACE ":" ";" parts ${doc})
  list(GET parts 0 source)
  list(GET parts 1 target)
  get_filename_component(name ${target} NAME)
  get_filename_component(folder ${target} DIRECTORY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/${name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
    COMMAND sh -c "gzip -9n -c '${PROJECT_SOURCE_DIR}/data/${source}' > '${CMAKE_BINARY_DIR}/doc/${name}'"
    DEPENDS ${PROJECT_SOURCE_DIR}/data/${source} VERBATIM)
  list(APPEND QUILLON_DOCS ${CMAKE_BINARY_DIR}/doc/${name})
  install(FILES ${CMAKE_BINARY_DIR}/doc/${name} DESTINATION ${folder})
endforeach()
add_custom_target(quillon_docs ALL DEPENDS ${QUILLON_DOCS})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR Kestrane)
set(CPACK_PACKAGE_CONTACT "Quillon XP developers <quillon-dev@kestrane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tabbed web browser with favorites found by their pages' words")
# CPack puts the summary in front as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quillon XP is a desktop web browser with document tabs, a fixed home page
tab and a favorites tab, panes for search, history and help, and pop-up
stop. linkimport imports a folder of Internet shortcuts into the favorites,
with every page's keywords and description.")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no library dependency names: the windowing plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# What `cmake --install` puts where, and the Debian package made of it by
# `cpack -G DEB`. The programs find share/brinora-editor/ from bin/ (base/AppPaths.h),
# so bin and share stay side by side under any prefix.
set(EDITOR_SHARE share/brinora-editor)

install(TARGETS brinora-editor water-batch RUNTIME DESTINATION bin)
# data/ holds the example states (data/states), copied into a user's first save folder.
install(DIRECTORY data shaders DESTINATION ${EDITOR_SHARE})
# The BUY button of the selection screen opens README.md from the data folder.
install(FILES README.md DESTINATION ${EDITOR_SHARE})
install(FILES packaging/brinora-editor.desktop DESTINATION share/applications)
install(FILES packaging/brinora-editor.metainfo.xml DESTINATION share/metainfo)
foreach(size 48 256)
  install(FILES packaging/icons/${size}/brinora-editor.png DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES packaging/brinora-editor.1 packaging/water-batch.1 DESTINATION share/man/man1)

set(CPACK_PACKAGE_NAME brinora-editor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Interactive editor for real-time water rendering")
set(CPACK_PACKAGE_DESCRIPTION
    "Assembles animated water from a wave heightmap, a normal map and a water mesh,\n"
    "draws it with one of four renderers and saves the state as a text file.\n"
    "water-batch replays a saved state without a display.")
set(CPACK_PACKAGE_CONTACT "Brinora Editor developers <editor@brinora.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# Shared libraries from dpkg-shlibdeps; what is loaded at run time without
# being linked is listed: libGL (SDL opens it for the OpenGL context) and the
# fonts that "arial" and "Tahoma" resolve to.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, fonts-liberation, fonts-dejavu-core")
# The BUY button opens its page with xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)

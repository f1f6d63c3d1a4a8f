# Installation in the usual places and the Debian package (cpack -G DEB).
include(GNUInstallDirs)

install(TARGETS lithoscan3d lithoscan3d-batch oskrine trelvane quendelplot RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lithoscan3d.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lithoscan3d-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME lithoscan3d.xml)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/lithoscan3d.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/lithoscan3d-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME lithoscan3d.png)
endforeach()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/lithoscan3d/examples)
install(FILES ${LITHO_MANUAL} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lithoscan3d)
install(DIRECTORY ${PROJECT_BINARY_DIR}/docs/images DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lithoscan3d)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lithoscan3d)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lithoscan3d RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lithoscan3d)
set(CPACK_PACKAGE_VENDOR "Lithoscan3D developers")
set(CPACK_PACKAGE_CONTACT "Lithoscan3D developers <dev@lithoscan3d.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer and editor for 3-D geophysical models")
set(CPACK_PACKAGE_DESCRIPTION
    "Shows density, susceptibility, conductivity and vector models on rectilinear and octree meshes,\n"
    "with topography, observation data and cell-face weights; cuts, thresholds, edits and exports them.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY lithoscan3d)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Software OpenGL for machines without a GPU driver; Xvfb for the batch tool's renders without a display.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri, libqt6opengl6, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xvfb, xauth")
include(CPack)

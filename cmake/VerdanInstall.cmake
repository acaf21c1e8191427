# Installation as a Linux desktop program, and the Debian package.
#   bin/verdan, bin/verdan-cli
#   lib/verdan/libpmverdan.so, lib/verdan/libdorvex.so   (found through the programs' RUNPATH)
#   lib/verdan/make-demo-globe                             writes the demo GLOBE set
#   share/verdan/                                          help, guide, pictures, demo terrain
#                                                          and antenna patterns
#   share/applications, share/metainfo, share/icons/hicolor, share/man/man1
include(GNUInstallDirs)

set(VERDAN_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/verdan)

set_target_properties(pmverdan dorvex PROPERTIES INSTALL_RPATH "")
install(TARGETS pmverdan dorvex LIBRARY DESTINATION ${VERDAN_PRIVATE_LIBDIR})

foreach(program verdan verdan-cli)
    if(TARGET ${program})
        set_target_properties(${program} PROPERTIES
            INSTALL_RPATH "$ORIGIN/../${VERDAN_PRIVATE_LIBDIR}")
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/verdan
        FILES_MATCHING PATTERN "*.html" PATTERN "*.png" PATTERN "*.jpg" PATTERN "*.svg")

# The help's pictures that the build draws from the demo data.
if(TARGET map-help-pictures)
    install(DIRECTORY ${CMAKE_BINARY_DIR}/share/verdan/help/pictures
            DESTINATION ${CMAKE_INSTALL_DATADIR}/verdan/help)
endif()

# The demo terrain (docs/demo-data.md). The rasters are plain files. The GLOBE set's tiles are
# sparse (1 MB on disk, 1.8 GB as plain files), so the tool that writes it is installed and
# run where the set is used: by the Debian package's postinst, or by hand after an install
# to a prefix (lib/verdan/make-demo-globe share/verdan/demo-globe-synthetic/).
install(FILES ${CMAKE_BINARY_DIR}/share/verdan/demo-raster-synthetic.tif
              ${PROJECT_SOURCE_DIR}/docs/demo-data.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/verdan)
install(DIRECTORY ${CMAKE_BINARY_DIR}/share/verdan/demo-tiles-synthetic
        DESTINATION ${CMAKE_INSTALL_DATADIR}/verdan)
# The synthetic antenna patterns of the link budget examples.
install(DIRECTORY ${CMAKE_BINARY_DIR}/share/verdan/demo-antennas-synthetic
        DESTINATION ${CMAKE_INSTALL_DATADIR}/verdan)
set_target_properties(make-demo-globe PROPERTIES INSTALL_RPATH "")
install(TARGETS make-demo-globe RUNTIME DESTINATION ${VERDAN_PRIVATE_LIBDIR})

install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.verdan.Verdan.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.verdan.Verdan.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/app/shell/views/icons/verdan.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME org.verdan.Verdan.svg)
foreach(size 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/verdan-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME org.verdan.Verdan.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/verdan-cli.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME verdan)
set(CPACK_PACKAGE_VENDOR "Verdan developers")
set(CPACK_PACKAGE_CONTACT "Verdan developers <verdan@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Radio propagation loss predictions with the Longley-Rice propagation model")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
# Loaded at run time, so not found by the shared-library scan: the platform plugins, the SVG
# icon engine and the SQLite driver of the archive. GDAL reads the elevation rasters; it is
# named as well so that its data files and format plugins come with it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, libqt6sql6-sqlite, libgdal32 (>= 3.6)")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Verdan predicts the basic transmission loss of a radio link over terrain with the\n Longley-Rice propagation model, in area prediction and point-to-point modes, with\n a command-line front end for scripts.")
# The package's postinst writes the demo GLOBE set, its postrm removes it.
set(VERDAN_INSTALLED_DEMO_TOOL ${CPACK_PACKAGING_INSTALL_PREFIX}/${VERDAN_PRIVATE_LIBDIR}/make-demo-globe)
set(VERDAN_INSTALLED_DEMO_GLOBE
    ${CPACK_PACKAGING_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/verdan/demo-globe-synthetic)
foreach(script postinst postrm)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/${script}.in
                   ${CMAKE_BINARY_DIR}/packaging/debian/${script} @ONLY
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/debian/postinst
                                       ${CMAKE_BINARY_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)
include(CPack)

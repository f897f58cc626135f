# Installation layout and the Debian package.
include(GNUInstallDirs)

# A game goes to games/ on Linux (Debian's section "games"), to bin/ elsewhere.
if(UNIX AND NOT APPLE)
    set(ZL_INSTALL_PROGRAMDIR "games")
else()
    set(ZL_INSTALL_PROGRAMDIR "${CMAKE_INSTALL_BINDIR}")
endif()
install(TARGETS zenor-lyrandel
    RUNTIME DESTINATION ${ZL_INSTALL_PROGRAMDIR}
    BUNDLE DESTINATION .)

if(UNIX AND NOT APPLE)
    set(ZL_PACKAGING_DIR "${CMAKE_CURRENT_LIST_DIR}/../packaging")
    set(ZL_APP_ID "io.example.karvelle.ZenorLyrandel")
    set(ZL_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/zenor-lyrandel")

    # The compiler's version stamps say nothing to a user; strip removes symbols but keeps them.
    if(CMAKE_OBJCOPY)
        install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${ZL_INSTALL_PROGRAMDIR}/zenor-lyrandel\"
            COMMAND_ERROR_IS_FATAL ANY)")
    endif()

    # The manual page and the changelog are installed compressed, reproducibly (no name, no time).
    set(ZL_GZIPPED "")
    foreach(source IN ITEMS zenor-lyrandel.6 changelog)
        set(gzipped "${CMAKE_CURRENT_BINARY_DIR}/packaging/${source}.gz")
        add_custom_command(OUTPUT "${gzipped}"
            COMMAND gzip -9n -c "${ZL_PACKAGING_DIR}/${source}" > "${gzipped}"
            DEPENDS "${ZL_PACKAGING_DIR}/${source}"
            COMMENT "Compressing ${source}"
            VERBATIM)
        list(APPEND ZL_GZIPPED "${gzipped}")
    endforeach()
    add_custom_target(zl_packaging_docs ALL DEPENDS ${ZL_GZIPPED})
    # Installing after building only the program must still find them.
    add_dependencies(zenor-lyrandel zl_packaging_docs)
    install(FILES "${CMAKE_CURRENT_BINARY_DIR}/packaging/zenor-lyrandel.6.gz"
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
    install(FILES "${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz" DESTINATION ${ZL_DOC_DIR})

    # The copyright file carries LICENSE word for word, so a licence is chosen in one place.
    set(ZL_COPYRIGHT "2026 Karvelle Softwares")
    file(READ "${CMAKE_CURRENT_LIST_DIR}/../LICENSE" licence)
    string(STRIP "${licence}" licence)
    string(REPLACE "\n\n" "\n.\n" licence "${licence}")
    string(REPLACE "\n" "\n " ZL_LICENSE_TEXT " ${licence}")
    configure_file("${ZL_PACKAGING_DIR}/copyright.in" "${CMAKE_CURRENT_BINARY_DIR}/packaging/copyright" @ONLY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/../LICENSE")
    install(FILES "${CMAKE_CURRENT_BINARY_DIR}/packaging/copyright" DESTINATION ${ZL_DOC_DIR})

    install(FILES "${ZL_PACKAGING_DIR}/zenor-lyrandel.lintian-overrides"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME zenor-lyrandel)

    install(FILES "${ZL_PACKAGING_DIR}/zenor-lyrandel.desktop"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES "${ZL_PACKAGING_DIR}/${ZL_APP_ID}.metainfo.xml"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

    # assets/ publishes the sizes it draws; fall back to the known set if it ever stops.
    if(NOT ZL_ICON_SIZES)
        set(ZL_ICON_SIZES 16 32 48 64 128 256)
    endif()
    foreach(size IN LISTS ZL_ICON_SIZES)
        install(FILES "${CMAKE_CURRENT_LIST_DIR}/../assets/icons/zenor-lyrandel-${size}.png"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME zenor-lyrandel.png)
    endforeach()
    # Any other size, and high-density screens, take the scalable drawing.
    install(FILES "${CMAKE_CURRENT_LIST_DIR}/../assets/icons/zenor-lyrandel.svg"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

    set(CPACK_GENERATOR "DEB")
    set(CPACK_PACKAGE_NAME "zenor-lyrandel")
    set(CPACK_PACKAGE_VENDOR "Karvelle Softwares")
    set(CPACK_PACKAGE_CONTACT "Karvelle Softwares <support@karvelle.example>")
    set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Oracle that draws a sign and reads it for your question")
    set(CPACK_PACKAGE_INSTALL_DIRECTORY "zenor-lyrandel")
    set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
    set(CPACK_STRIP_FILES ON)

    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_NAME "zenor-lyrandel")
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Karvelle Softwares <support@karvelle.example>")
    # The summary above is the synopsis line; this is the long description under it.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "Type your first name and a question; the program draws one of twenty-four\n\
signs and shows its name, keyword, interpretation and picture. A saved\n\
reading can be opened again.")
    set(CPACK_DEBIAN_PACKAGE_SECTION "games")
    set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.karvelle.example")
    # Libraries come from dpkg-shlibdeps (libqt6gui6 also carries the xcb and jpeg plugins);
    # the fonts are the ones the windows' families are substituted with. With qt6-wayland the
    # program runs natively on a Wayland session instead of through Xwayland.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")

    include(CPack)
endif()

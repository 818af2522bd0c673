# What `cmake --install` puts where: the game, its manual page, the README and the licence. The
# .deb, the .tar.gz and the Windows .zip are made by CPack from these same rules.

if(WIN32)
    # The zip is one folder: the exe with the README and the licence beside it.
    set(KENTERMEER_GAMEDIR .)
    set(CMAKE_INSTALL_DOCDIR .)
else()
    # Debian's documentation folders are named after the package, not the project.
    set(CMAKE_INSTALL_DOCDIR share/doc/kentermeer CACHE PATH "Documentation (share/doc/kentermeer)")
    include(GNUInstallDirs)
    # Debian keeps games in /usr/games, which is on every user's PATH (not on root's); under
    # any other prefix the game goes with the other programs.
    if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
        set(KENTERMEER_GAMEDIR games)
    else()
        set(KENTERMEER_GAMEDIR ${CMAKE_INSTALL_BINDIR})
    endif()
endif()
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS kentermeer RUNTIME DESTINATION ${KENTERMEER_GAMEDIR})
if(WIN32)
    # The README is about building and Unix: a Windows player gets a German note on starting,
    # the window and its font, the options and the keys, with the line ends Notepad expects
    # and in UTF-8 with a byte-order mark, which every Notepad reads as UTF-8.
    configure_file(doc/LIESMICH.txt.in ${PROJECT_BINARY_DIR}/LIESMICH.txt @ONLY
        NEWLINE_STYLE CRLF)
    install(FILES ${PROJECT_BINARY_DIR}/LIESMICH.txt DESTINATION ${CMAKE_INSTALL_DOCDIR})
    install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME LICENSE.txt)
else()
    install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
    install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

# Manual pages and Debian's changelog are kept compressed as gzip -9n makes them: best
# compression, and no name or time stamp, so that the same sources give the same package.
function(kentermeer_gzip source target)
    execute_process(COMMAND gzip -9nc INPUT_FILE ${source} OUTPUT_FILE ${target}
        RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "gzip could not compress ${source}")
    endif()
endfunction()

if(NOT WIN32)
    configure_file(doc/kentermeer.6.in ${PROJECT_BINARY_DIR}/kentermeer.6 @ONLY)
    kentermeer_gzip(${PROJECT_BINARY_DIR}/kentermeer.6 ${PROJECT_BINARY_DIR}/kentermeer.6.gz)
    install(FILES ${PROJECT_BINARY_DIR}/kentermeer.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endif()

# Packages: `cpack` in the build folder makes the .deb and the .tar.gz, or the .zip when the
# build is for Windows.
set(CPACK_PACKAGE_NAME kentermeer)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ship-battle game for the text console")
# Debian shows the description as it stands: lines of at most 80 columns, an empty line
# between paragraphs.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "You and the computer each hide four one-cell ships on a grid of up to 17 x 8"
    "cells, then take turns firing at each other's grid by typing a cell such as"
    "b3. A hit earns another shot; the first side to hit all four ships of the"
    "other wins."
    ""
    "Every screen is drawn in the sixteen console colours on a terminal of 197 x 70"
    "characters, and all its text is German.")
if(NOT CPACK_PACKAGE_CONTACT)
    set(CPACK_PACKAGE_CONTACT "Kentermeer maintainers <kentermeer@example.org>")
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
if(WIN32)
    set(CPACK_GENERATOR ZIP)
else()
    set(CPACK_GENERATOR DEB TGZ)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION games)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # Debian asks for a copyright file and a changelog in the package's documentation folder;
    # only the .deb gets them (see cpack_generators.cmake).
    set(CPACK_KENTERMEER_DEBIAN_DOCS ${PROJECT_BINARY_DIR}/debian-docs)
    file(MAKE_DIRECTORY ${CPACK_KENTERMEER_DEBIAN_DOCS})
    configure_file(LICENSE ${CPACK_KENTERMEER_DEBIAN_DOCS}/copyright COPYONLY)
    configure_file(cmake/debian-changelog.in ${PROJECT_BINARY_DIR}/debian-changelog @ONLY)
    kentermeer_gzip(${PROJECT_BINARY_DIR}/debian-changelog
        ${CPACK_KENTERMEER_DEBIAN_DOCS}/changelog.gz)
    set(CPACK_KENTERMEER_DOCDIR ${CMAKE_INSTALL_DOCDIR})
    set(CPACK_KENTERMEER_GAMEDIR ${KENTERMEER_GAMEDIR})
    set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/cpack_generators.cmake)
endif()

include(CPack)

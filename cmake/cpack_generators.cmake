# Read by cpack once for each package it makes, with CPACK_GENERATOR naming that package.
if(CPACK_GENERATOR STREQUAL "DEB")
    if(NOT CPACK_KENTERMEER_GAMEDIR STREQUAL "games")
        message(FATAL_ERROR "The .deb puts the game into /usr/games: configure its build with "
            "-DCMAKE_INSTALL_PREFIX=/usr")
    endif()
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    # The copyright file and the changelog, beside the README; the folders are taken from
    # the top of the package, not from the prefix.
    set(CPACK_INSTALLED_DIRECTORIES "${CPACK_KENTERMEER_DEBIAN_DOCS};usr/${CPACK_KENTERMEER_DOCDIR}")
endif()

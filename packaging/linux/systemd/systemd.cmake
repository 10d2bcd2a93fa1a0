# SPDX-License-Identifier: GPL-3.0-or-later
# The headless service: a system unit (shipped disabled) with its user, and a user unit. The units
# name the program by the prefix chosen at installation, which may be given only then.
install(CODE "
    foreach(kind system user)
        set(KORVO_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        set(source \"${CMAKE_CURRENT_LIST_DIR}/korvo-tft.service.in\")
        if(kind STREQUAL user)
            set(source \"${CMAKE_CURRENT_LIST_DIR}/korvo-tft.user.service.in\")
        endif()
        configure_file(\"\${source}\" \"${CMAKE_CURRENT_BINARY_DIR}/\${kind}/korvo-tft.service\" @ONLY)
        file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/lib/systemd/\${kind}\" TYPE FILE
             FILES \"${CMAKE_CURRENT_BINARY_DIR}/\${kind}/korvo-tft.service\")
    endforeach()")
install(FILES ${CMAKE_CURRENT_LIST_DIR}/korvo-tft.sysusers DESTINATION lib/sysusers.d RENAME korvo-tft.conf)
list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/postinst)

# Installation of the executables and the Debian package (cpack -G DEB).
# Included last, so that every executable target exists by now.

foreach(program quenlor-eval quenlor-cli)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

if(NOT UNIX OR APPLE)
    return()
endif()

add_subdirectory(dist)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quenlor-eval)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quenlor Eval developers")
set(CPACK_PACKAGE_CONTACT "${QUENLOR_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "evaluation program for the Quenlor accelerometer and inclinometer")
set(CPACK_PACKAGE_DESCRIPTION
    "Live readout of the sensor's eight output registers as numbers and plots, the
status register decoded, any register read, written and listed, the sensor's
settings saved to its flash, and data logged to files. The sensor is reached
through the USB-to-SPI adapter card or the PC parallel port; a simulator
stands in for the hardware when none is on the desk.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUENLOR_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUENLOR_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/dist/postinst ${PROJECT_SOURCE_DIR}/dist/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)

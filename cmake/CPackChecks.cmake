# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack before each package: refuses a Debian package whose program and autostart entry
# would point outside the places the package puts them.
if(CPACK_GENERATOR STREQUAL "DEB")
    if(NOT CPACK_PACKAGING_INSTALL_PREFIX STREQUAL "/usr"
        OR NOT CPACK_TACKPAD_PROGRAM_PATH STREQUAL "/usr/bin/tackpad"
        OR NOT CPACK_TACKPAD_AUTOSTART_DIR STREQUAL "/etc/xdg/autostart")
        message(FATAL_ERROR "The Debian package needs a build configured with "
            "-DCMAKE_INSTALL_PREFIX=/usr (this one installs under '${CPACK_PACKAGING_INSTALL_PREFIX}', "
            "program path '${CPACK_TACKPAD_PROGRAM_PATH}', autostart folder "
            "'${CPACK_TACKPAD_AUTOSTART_DIR}').")
    endif()
endif()

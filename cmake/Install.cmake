# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts around the program (launcher entry, icons, machine-wide autostart
# entry, AppStream metadata, manual page, copyright), and the Debian package made of it by CPack.
# The program itself is installed by src/CMakeLists.txt.

set(tackpad_data ${PROJECT_SOURCE_DIR}/data)
set(tackpad_gen ${CMAKE_BINARY_DIR}/install)

# A stripped install (--strip, and the package) also drops the compilers' version notes, as
# Debian's own stripping does; this runs after the program's install rule.
if(CMAKE_OBJCOPY)
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tackpad\"
        COMMAND_ERROR_IS_FATAL ANY)
endif()")
endif()

install(FILES ${tackpad_data}/org.tackpad.Tackpad.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${tackpad_data}/org.tackpad.Tackpad.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon: the drawing itself, and the PNG sizes the build renders from it for the tray.
install(FILES ${tackpad_data}/tackpad.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(tackpad_png IN LISTS TACKPAD_ICON_PNGS)
    if(NOT tackpad_png MATCHES "tackpad-([0-9]+)\\.png$")
        message(FATAL_ERROR "icon ${tackpad_png} does not name its size")
    endif()
    install(FILES ${tackpad_png} RENAME tackpad.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${CMAKE_MATCH_1}x${CMAKE_MATCH_1}/apps)
endforeach()

# The machine-wide autostart entry is produced by the code that writes the per-user one at start,
# so the two cannot drift apart, and the per-user file of the same name overrides it exactly.
# GNUInstallDirs maps the prefixes / and /usr to /etc here, which the XDG autostart lookup reads.
set(TACKPAD_AUTOSTART_DIR ${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/autostart)
add_executable(tackpad-autostart-entry ${PROJECT_SOURCE_DIR}/cmake/autostart-entry.cpp)
target_link_libraries(tackpad-autostart-entry PRIVATE tackpad_platform)
add_custom_command(OUTPUT ${tackpad_gen}/Tackpad.desktop
    COMMAND ${CMAKE_COMMAND} -E make_directory ${tackpad_gen}
    COMMAND tackpad-autostart-entry ${tackpad_gen}/Tackpad.desktop
    DEPENDS tackpad-autostart-entry
    COMMENT "Writing the machine-wide autostart entry" VERBATIM)

# tackpad_changelog_date(OUT YEAR MONTH DAY): midnight UTC of that day as a Debian changelog
# writes it ("Tue, 08 Dec 2026 00:00:00 +0000").
function(tackpad_changelog_date out year month day)
    string(REGEX REPLACE "^0" "" month "${month}")
    string(REGEX REPLACE "^0" "" day "${day}")
    # Days since 1970-01-01, counting years from March (H. Hinnant's days_from_civil).
    if(month LESS_EQUAL 2)
        math(EXPR year "${year} - 1")
        math(EXPR month "${month} + 9")
    else()
        math(EXPR month "${month} - 3")
    endif()
    math(EXPR yoe "${year} % 400")
    math(EXPR days "${year} / 400 * 146097 + ${yoe} * 365 + ${yoe} / 4 - ${yoe} / 100 + (153 * ${month} + 2) / 5 + ${day} - 1 - 719468")
    # string(TIMESTAMP) formats SOURCE_DATE_EPOCH when it is set.
    set(saved "$ENV{SOURCE_DATE_EPOCH}")
    math(EXPR epoch "${days} * 86400")
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
    string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
    set(ENV{SOURCE_DATE_EPOCH} "${saved}")
    set(${out} "${date}" PARENT_SCOPE)
endfunction()

# Manual page and changelog go compressed, as man and Debian expect them.
# The release date comes from the metainfo file's entry for this version, so that the package
# does not change with the day it is built, and a new version cannot go out without its entry.
file(READ ${tackpad_data}/org.tackpad.Tackpad.metainfo.xml tackpad_metainfo)
string(REPLACE "." "\\." tackpad_version_re "${PROJECT_VERSION}")
if(NOT tackpad_metainfo MATCHES "<release version=\"${tackpad_version_re}\" date=\"([0-9]+)-([0-9]+)-([0-9]+)\"")
    message(FATAL_ERROR "org.tackpad.Tackpad.metainfo.xml has no release entry for ${PROJECT_VERSION}")
endif()
set(tackpad_year ${CMAKE_MATCH_1})
tackpad_changelog_date(tackpad_release_date ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3})
set(TACKPAD_MAINTAINER "Tackpad maintainers <maintainers@tackpad.example.org>")
file(CONFIGURE OUTPUT ${tackpad_gen}/changelog @ONLY CONTENT
"tackpad (@PROJECT_VERSION@) unstable; urgency=medium

  * Release @PROJECT_VERSION@.

 -- @TACKPAD_MAINTAINER@  @tackpad_release_date@
")
set(tackpad_gzipped)
foreach(tackpad_pair IN ITEMS "${tackpad_data}/tackpad.1|tackpad.1.gz" "${tackpad_gen}/changelog|changelog.gz")
    string(REPLACE "|" ";" tackpad_pair "${tackpad_pair}")
    list(GET tackpad_pair 0 tackpad_in)
    list(GET tackpad_pair 1 tackpad_out)
    add_custom_command(OUTPUT ${tackpad_gen}/${tackpad_out}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${tackpad_in} -DOUTPUT=${tackpad_gen}/${tackpad_out}
            -P ${PROJECT_SOURCE_DIR}/cmake/gzip.cmake
        DEPENDS ${tackpad_in} ${PROJECT_SOURCE_DIR}/cmake/gzip.cmake VERBATIM)
    list(APPEND tackpad_gzipped ${tackpad_gen}/${tackpad_out})
endforeach()
add_custom_target(tackpad_install_files ALL
    DEPENDS ${tackpad_gen}/Tackpad.desktop ${tackpad_gzipped})

install(FILES ${tackpad_gen}/Tackpad.desktop DESTINATION ${TACKPAD_AUTOSTART_DIR})
install(FILES ${tackpad_gen}/tackpad.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Debian's machine-readable copyright format, which other systems read as plain text too.
file(CONFIGURE OUTPUT ${tackpad_gen}/copyright @ONLY CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Tackpad
Upstream-Contact: @TACKPAD_MAINTAINER@
Source: @TACKPAD_WEB_ADDRESS@

Files: *
Copyright: @tackpad_year@ The Tackpad developers
License: GPL-3+

Files: data/org.tackpad.Tackpad.metainfo.xml
Copyright: @tackpad_year@ The Tackpad developers
License: CC0-1.0

License: GPL-3+
 This program is free software: you can redistribute it and/or modify
 it under the terms of the GNU General Public License as published by
 the Free Software Foundation, either version 3 of the License, or
 (at your option) any later version.
 .
 This program is distributed in the hope that it will be useful,
 but WITHOUT ANY WARRANTY; without even the implied warranty of
 MERCHANTABILITY or FITNESS FOR A PARTICULAR PURPOSE.  See the
 GNU General Public License for more details.
 .
 You should have received a copy of the GNU General Public License
 along with this program.  If not, see <https://www.gnu.org/licenses/>.
 .
 On Debian systems, the complete text of the GNU General Public License
 version 3 can be found in \"/usr/share/common-licenses/GPL-3\".

License: CC0-1.0
 To the extent possible under law, the author(s) have dedicated all
 copyright and related and neighboring rights to this software to the
 public domain worldwide. This software is distributed without any
 warranty.
 .
 You should have received a copy of the CC0 Public Domain Dedication
 along with this software. If not, see
 <https://creativecommons.org/publicdomain/zero/1.0/>.
 .
 On Debian systems, the complete text of the CC0 1.0 Universal license
 can be found in \"/usr/share/common-licenses/CC0-1.0\".
")
install(FILES ${tackpad_gen}/copyright ${tackpad_gen}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package. The program and its autostart entry carry the installed program's path
# from configure time, so the package is only right when the build was configured for /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tackpad)
set(CPACK_PACKAGE_VENDOR "The Tackpad developers")
set(CPACK_PACKAGE_CONTACT "${TACKPAD_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
"Tackpad keeps three coloured sticky notes, red, green and blue, and lives
as an icon in the system tray. Each note holds a free text that is saved as
it is typed and stays on top of other windows.

A note can pop up at or after a date, at an hour and minute of the day, or
every time the program starts; Tackpad registers itself to start at log-on.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
# The autostart entry lives outside the prefix, in /etc.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TACKPAD_WEB_ADDRESS}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The sound of the emulated speaker: libpulse is loaded at run time, and without it the alert
# is silent, so shlibdeps cannot see it and it is not a must.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libpulse0")
# Notes as layer surfaces need Qt's Wayland plugin, which Qt loads by name; without it they are
# X11 windows through XWayland.
if(TACKPAD_LAYER_SHELL)
    string(APPEND CPACK_DEBIAN_PACKAGE_RECOMMENDS ", qt6-wayland")
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Files in /etc belong to the administrator once installed: dpkg keeps their changes.
file(WRITE ${tackpad_gen}/debian/conffiles "${TACKPAD_AUTOSTART_DIR}/Tackpad.desktop\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${tackpad_gen}/debian/conffiles)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/CPackChecks.cmake)
set(CPACK_TACKPAD_PROGRAM_PATH "${TACKPAD_PROGRAM_PATH}")
set(CPACK_TACKPAD_AUTOSTART_DIR "${TACKPAD_AUTOSTART_DIR}")
set(CPACK_SOURCE_GENERATOR TXZ)
# A linked worktree's .git is a file that names a folder outside the tree: it stays out too.
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git(/|$)" "/build[^/]*/")
include(CPack)

# Install rules and the Debian package.
#
# The program and its command line read their name pools (familyName.dat,
# boyName.dat, girlName.dat) from the working directory or, when that holds
# none of them, from share/officer-maker beside their bin folder. The desktop
# entry starts the program in that folder as well.

include(GNUInstallDirs)

set(OFFICER_MAKER_POOLS
    ${PROJECT_SOURCE_DIR}/data/familyName.dat
    ${PROJECT_SOURCE_DIR}/data/boyName.dat
    ${PROJECT_SOURCE_DIR}/data/girlName.dat)

install(TARGETS officer-maker officer-maker-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The command line's completion of its commands and options in bash.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/bash-completion/officer-maker-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${OFFICER_MAKER_POOLS} DESTINATION ${CMAKE_INSTALL_DATADIR}/officer-maker)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/officer-maker.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/officer-maker.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The desktop entry's Path= is the installed name-pool folder. It is written
# at install time, from the prefix in force then: `cmake --install --prefix`
# and the package (installed under /usr whatever CMAKE_INSTALL_PREFIX was at
# configure time) both get the folder their files really land in. DESTDIR is
# left out of it, as it is only a staging root. The file is made in a folder
# of the build tree and removed once installed, so that an install as root
# leaves no file there that a later install or package as a user could not
# replace.
set(OFFICER_MAKER_ENTRY_DIR ${PROJECT_BINARY_DIR}/desktop-entry)
file(MAKE_DIRECTORY ${OFFICER_MAKER_ENTRY_DIR})
install(CODE "
    set(_datadir [[${CMAKE_INSTALL_DATADIR}]])
    if(IS_ABSOLUTE \"\${_datadir}\")
        set(_appdata \"\${_datadir}\")
    else()
        set(_appdata \"\${CMAKE_INSTALL_PREFIX}/\${_datadir}\")
    endif()
    set(OFFICER_MAKER_POOL_DIR \"\${_appdata}/officer-maker\")
    set(_entry [[${OFFICER_MAKER_ENTRY_DIR}/officer-maker.desktop]])
    configure_file([[${PROJECT_SOURCE_DIR}/packaging/officer-maker.desktop.in]]
                   \"\${_entry}\" @ONLY)
    file(INSTALL DESTINATION \"\${_appdata}/applications\" TYPE FILE FILES \"\${_entry}\")
    file(REMOVE \"\${_entry}\")
")

# The changelog, the copyright notice and the manual pages of both programs
# (English and Traditional Chinese), compressed as Debian wants them.
set(OFFICER_MAKER_DOCS ${PROJECT_BINARY_DIR}/docs)
file(MAKE_DIRECTORY ${OFFICER_MAKER_DOCS}/en ${OFFICER_MAKER_DOCS}/zh_TW)
set(_compressed)
foreach(pair "packaging/changelog:changelog.gz" "packaging/man/officer-maker.1:en/officer-maker.1.gz"
             "packaging/man/officer-maker.zh_TW.1:zh_TW/officer-maker.1.gz"
             "packaging/man/officer-maker-cli.1:en/officer-maker-cli.1.gz"
             "packaging/man/officer-maker-cli.zh_TW.1:zh_TW/officer-maker-cli.1.gz")
    string(REPLACE ":" ";" pair "${pair}")
    list(GET pair 0 _source)
    list(GET pair 1 _target)
    add_custom_command(OUTPUT ${OFFICER_MAKER_DOCS}/${_target}
        COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/${_source} > ${OFFICER_MAKER_DOCS}/${_target}
        DEPENDS ${PROJECT_SOURCE_DIR}/${_source})
    list(APPEND _compressed ${OFFICER_MAKER_DOCS}/${_target})
endforeach()
add_custom_target(officer-maker-docs ALL DEPENDS ${_compressed})
install(FILES ${OFFICER_MAKER_DOCS}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${OFFICER_MAKER_DOCS}/en/officer-maker.1.gz ${OFFICER_MAKER_DOCS}/en/officer-maker-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${OFFICER_MAKER_DOCS}/zh_TW/officer-maker.1.gz
              ${OFFICER_MAKER_DOCS}/zh_TW/officer-maker-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/zh_TW/man1)

# Debian package: `cpack -G DEB` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME officer-maker)
set(CPACK_PACKAGE_VENDOR "Officer Maker developers")
set(CPACK_PACKAGE_CONTACT "Officer Maker developers <officer-maker@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Creates custom officers in the game's data file")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# A tool for a game, not a game: its program lies in /usr/bin, and Debian
# keeps the section "games" for programs in /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Added to what dpkg-shlibdeps finds (the Qt and OpenCC libraries): Qt's own
# Traditional Chinese translation, loaded at start-up for the file dialog and
# the message boxes, and OpenCC's s2t.json, which names the dictionaries that
# the library's package carries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qttranslations5-l10n, libopencc-data")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei")
# The first line of the package's description is the summary; this follows it.
set(CPACK_PACKAGE_DESCRIPTION
"A desktop tool with a Traditional Chinese interface that adds new officers,
with generated names and family links, to the game's data file. It comes with
name pools of family names and boys' and girls' given names, and with
officer-maker-cli, which does the same work from the command line without a
display.")
include(CPack)

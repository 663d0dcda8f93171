# The Windows build (cross-built with MinGW-w64 against a static Qt): two
# .exe files that need only Windows' own DLLs, the window's a GUI program with
# an icon and version information, the command line's a console program, both
# carrying Qt's Chinese translations, which Windows has no shared folder for.

# No MinGW runtime DLL either: the toolchain file links with -static.
set_target_properties(officer-maker PROPERTIES WIN32_EXECUTABLE ON)
target_link_options(officer-maker PRIVATE -s)
target_link_options(officer-maker-cli PRIVATE -s)

# The icon, drawn from the same SVG as the Linux one.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ICOTOOL icotool REQUIRED)
set(OFFICER_ICON ${PROJECT_BINARY_DIR}/windows/officer-maker.ico)
set(_icon_pngs)
foreach(size 16 24 32 48 64 256)
    set(_png ${PROJECT_BINARY_DIR}/windows/icon-${size}.png)
    add_custom_command(OUTPUT ${_png}
        COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${_png}
                ${PROJECT_SOURCE_DIR}/packaging/officer-maker.svg
        DEPENDS ${PROJECT_SOURCE_DIR}/packaging/officer-maker.svg VERBATIM)
    list(APPEND _icon_pngs ${_png})
endforeach()
add_custom_command(OUTPUT ${OFFICER_ICON}
    COMMAND ${ICOTOOL} -c -o ${OFFICER_ICON} ${_icon_pngs}
    DEPENDS ${_icon_pngs} VERBATIM)
# Both programs carry the icon and their version information.
foreach(_exe officer-maker officer-maker-cli)
    set(OFFICER_EXE_NAME ${_exe})
    if(_exe STREQUAL officer-maker)
        set(OFFICER_EXE_DESCRIPTION "龍旗戰記新武將作成器")
    else()
        set(OFFICER_EXE_DESCRIPTION "龍旗戰記新武將作成器（命令列）")
    endif()
    configure_file(${PROJECT_SOURCE_DIR}/windows/officer-maker.rc.in
                   ${PROJECT_BINARY_DIR}/windows/${_exe}.rc @ONLY)
    set_source_files_properties(${PROJECT_BINARY_DIR}/windows/${_exe}.rc PROPERTIES
        OBJECT_DEPENDS ${OFFICER_ICON})
    target_sources(${_exe} PRIVATE ${PROJECT_BINARY_DIR}/windows/${_exe}.rc ${OFFICER_ICON})
endforeach()

# Qt's own translations, from Debian's qttranslations5-l10n, in the resource
# of the program's translation.
foreach(_language zh_TW zh_CN)
    find_file(OFFICER_QT_${_language} qtbase_${_language}.qm PATHS /usr/share/qt5/translations
              NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    configure_file(${OFFICER_QT_${_language}} ${OFFICER_TRANSLATIONS_DIR}/qtbase_${_language}.qm
                   COPYONLY)
    list(APPEND OFFICER_EMBEDDED_TRANSLATIONS qtbase_${_language}.qm)
endforeach()
target_compile_definitions(officer_core PRIVATE OFFICER_EMBEDDED_QT_TRANSLATIONS)

# The platforms: windows for the program, offscreen for the tests and for
# checks of the packaged program without a display.
target_link_libraries(officer_app PUBLIC Qt5::QWindowsIntegrationPlugin
                                         Qt5::QOffscreenIntegrationPlugin)

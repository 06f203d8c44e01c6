# What `cmake --install` puts where, in two components:
#
#   kest    the program `tallix` and its help document side by side at the top
#           of the prefix, which is the Kest folder; nothing else lands there.
#   system  `tallix-report` in bin/, its graph module and its chart module
#           (where the build has Qt) in lib/tallix/, its manual page in
#           share/man/man1/ and its
#           bash completion in share/bash-completion/completions/.
#
# Both are left out of a plain install, which would mix them: that one takes
# the add-on for a prefix that holds kest.ini and the system part otherwise.
include(GNUInstallDirs)

if(TALLIX_BUILD_UI)
    install(TARGETS tallix RUNTIME DESTINATION . COMPONENT kest EXCLUDE_FROM_ALL)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/help/tallix-help.html
            DESTINATION . COMPONENT kest EXCLUDE_FROM_ALL)
else()
    install(CODE "message(FATAL_ERROR \"This build has no window (TALLIX_BUILD_UI is OFF): \"
                                      \"there is no tallix program to put into a Kest folder.\")"
            COMPONENT kest EXCLUDE_FROM_ALL)
endif()

install(TARGETS tallix-report RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT system EXCLUDE_FROM_ALL)
install(TARGETS tallix-report-graph LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/tallix
        COMPONENT system EXCLUDE_FROM_ALL)
if(TARGET tallix-report-chart)
    install(TARGETS tallix-report-chart LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/tallix
            COMPONENT system EXCLUDE_FROM_ALL)
endif()
install(FILES ${TALLIX_REPORT_MANPAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT system EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/tools/report/tallix-report.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions
        RENAME tallix-report COMPONENT system EXCLUDE_FROM_ALL)

# The plain install: runs this build's install script once more for the one
# component the prefix calls for.
install(CODE "set(TALLIX_INSTALL_SCRIPT [[${CMAKE_BINARY_DIR}/cmake_install.cmake]])")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/install_by_prefix.cmake)

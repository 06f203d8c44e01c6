# Part of a plain `cmake --install` (no component): a prefix that holds
# kest.ini (in any letter case, as Tallix itself finds it) is a Kest folder and
# gets the add-on; any other prefix gets the system part. Runs the build's
# install script, TALLIX_INSTALL_SCRIPT, for that component.
set(tallix_target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(tallix_component system)
file(GLOB tallix_entries LIST_DIRECTORIES false RELATIVE "${tallix_target}" "${tallix_target}/*")
foreach(tallix_entry IN LISTS tallix_entries)
    string(TOLOWER "${tallix_entry}" tallix_entry)
    if(tallix_entry STREQUAL "kest.ini")
        set(tallix_component kest)
    endif()
endforeach()

if(tallix_component STREQUAL "kest")
    message(STATUS "${tallix_target} holds kest.ini: installing the Tallix add-on there "
                   "(component kest)")
else()
    message(STATUS "${tallix_target} holds no kest.ini: installing tallix-report, its manual "
                   "page and completion (component system); for a Kest folder, install "
                   "with --component kest")
endif()
set(CMAKE_INSTALL_COMPONENT ${tallix_component})
include(${TALLIX_INSTALL_SCRIPT})
unset(CMAKE_INSTALL_COMPONENT)

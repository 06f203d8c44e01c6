# The folders of src/ see each other in one direction only. For every folder
# of the core, this preprocesses an include of a header from every other folder
# with the include path its library really compiles with, and expects it to be
# found exactly when the folder may use the other one. Run as
#   cmake -DCXX=<compiler> -DWORK=<scratch folder> -DSRC=<src>
#         -DINCLUDES_<folder>=<dir>|<dir>... -P folder_direction_test.cmake

# What each folder may include besides itself: the architecture.
set(folders base text files analysis app actions graph ui)
set(uses_base "")
set(uses_text "")
set(uses_files base text)
set(uses_analysis base text files)
set(uses_app base text)
set(uses_actions base text files app)
set(uses_graph base text files analysis)

file(MAKE_DIRECTORY "${WORK}")
set(failures "")
foreach(folder IN LISTS folders)
    if(folder STREQUAL "ui")
        continue() # the top: it may use all of them
    endif()
    string(REPLACE "|" ";" includes "${INCLUDES_${folder}}")
    list(TRANSFORM includes PREPEND "-I")
    foreach(other IN LISTS folders)
        if(other STREQUAL folder)
            continue()
        endif()
        file(GLOB headers RELATIVE "${SRC}/${other}" "${SRC}/${other}/*.h")
        list(SORT headers)
        list(GET headers 0 header)
        set(probe "${WORK}/${folder}_sees_${other}.cpp")
        file(WRITE "${probe}" "#include \"${other}/${header}\"\n")
        execute_process(COMMAND "${CXX}" -std=c++20 -E -o /dev/null ${includes} "${probe}"
                        RESULT_VARIABLE result ERROR_VARIABLE errors)
        list(FIND uses_${folder} ${other} allowed)
        if(allowed GREATER_EQUAL 0 AND NOT result EQUAL 0)
            string(APPEND failures "src/${folder} cannot include ${other}/${header}:\n${errors}\n")
        elseif(allowed LESS 0 AND result EQUAL 0)
            string(APPEND failures "src/${folder} can include ${other}/${header}, from a folder it must not use\n")
        elseif(allowed LESS 0 AND NOT errors MATCHES "${other}/${header}")
            string(APPEND failures "src/${folder} including ${other}/${header} failed otherwise:\n${errors}\n")
        endif()
    endforeach()

    # A path that climbs out of the folder would get round the include path.
    file(GLOB_RECURSE sources "${SRC}/${folder}/*")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" climbing REGEX "^[ \t]*#[ \t]*include[ \t]*\"\\.\\.")
        if(climbing)
            string(APPEND failures "${source}: ${climbing}\n")
        endif()
    endforeach()
endforeach()

if(failures)
    message(FATAL_ERROR "${failures}")
endif()

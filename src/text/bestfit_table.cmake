# Turns the WCTABLE section of a Windows best-fit table (the Unicode
# consortium's WindowsBestFit/bestfit1252.txt) into C++ initialiser rows
# "{0xUUUU, 0xBB}," sorted by code point. Run as
#   cmake -DIN=table.txt -DOUT=table.inc -P bestfit_table.cmake
# The section's own count must match the rows read, so a damaged copy fails
# the build instead of losing characters.

file(STRINGS "${IN}" lines)
set(inSection FALSE)
set(expected "")
set(rows "")
foreach(line IN LISTS lines)
    if(line MATCHES "^WCTABLE[ \t]+([0-9]+)")
        set(inSection TRUE)
        set(expected "${CMAKE_MATCH_1}")
    elseif(inSection AND line MATCHES "^(ENDCODEPAGE|[A-Z]+TABLE)")
        break()
    elseif(inSection AND line MATCHES "^0x([0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F])[ \t]+0x([0-9a-fA-F][0-9a-fA-F])")
        string(TOLOWER "${CMAKE_MATCH_1}" unicode)
        string(TOLOWER "${CMAKE_MATCH_2}" byte)
        list(APPEND rows "{0x${unicode}, 0x${byte}},")
    endif()
endforeach()

list(LENGTH rows count)
if(expected STREQUAL "" OR NOT count EQUAL expected)
    message(FATAL_ERROR "${IN}: WCTABLE announces '${expected}' rows, ${count} read")
endif()
# Four hex digits each, so sorting the texts sorts the code points.
list(SORT rows)
list(JOIN rows "\n" body)
get_filename_component(source "${IN}" NAME)
file(WRITE "${OUT}.tmp"
     "// Generated from ${source} by bestfit_table.cmake; do not edit.\n${body}\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")

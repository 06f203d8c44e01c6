# Turns an scdoc source into a roff manual page: cmake -DSCDOC=... -DINPUT=...
# -DOUTPUT=... -P scdoc.cmake. The page is written under another name first, so
# a failed run leaves no half page that the next build would take as done.
execute_process(
    COMMAND ${SCDOC}
    INPUT_FILE ${INPUT}
    OUTPUT_FILE ${OUTPUT}.part
    ERROR_VARIABLE errors
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    file(REMOVE ${OUTPUT}.part)
    message(FATAL_ERROR "scdoc failed on ${INPUT}: ${errors}")
endif()
# Option names must not be split at their hyphens: no hyphenation in the page.
file(READ ${OUTPUT}.part page)
string(REGEX REPLACE "(\n\\.TH [^\n]*\n)" "\\1.nh\n" page "${page}")
file(WRITE ${OUTPUT}.part "${page}")
file(RENAME ${OUTPUT}.part ${OUTPUT})

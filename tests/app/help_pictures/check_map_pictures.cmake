# Runs the help pictures' tool into an empty folder and checks that it succeeded and wrote
# every picture expected.
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${TOOL} ${OUT} ${DATA} RESULT_VARIABLE status ERROR_VARIABLE told)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the tool failed (${status}): ${told}")
endif()
foreach(picture IN LISTS PICTURES)
    if(NOT EXISTS ${OUT}/${picture})
        message(FATAL_ERROR "${picture} was not written")
    endif()
endforeach()

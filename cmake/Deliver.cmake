# Copies a deliverable into `folder` whenever it is rebuilt.
function(daxo_copy_after_build target folder)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${folder}/
        VERBATIM)
endfunction()

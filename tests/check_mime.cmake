# Compiles the package's shared-mime-info file as the desktop does when the
# package is installed, in a folder of its own, and checks what the desktop
# then knows of setup files: their name pattern, their parent type, their
# icon; no warning from the compiler.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/packages)
configure_file(${SOURCE} ${OUT}/packages/ COPYONLY)
# The folder's parent stands for the user's data folder, where the tool
# expects a "mime" folder it compiles.
get_filename_component(data ${OUT} DIRECTORY)
execute_process(COMMAND ${CMAKE_COMMAND} -E env XDG_DATA_HOME=${data} ${UPDATE_MIME_DATABASE} ${OUT}
    RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_VARIABLE output)
if(NOT result EQUAL 0 OR NOT errors STREQUAL "")
    message(FATAL_ERROR "update-mime-database: ${result} ${errors}")
endif()
foreach(check IN ITEMS "globs2|50:application/x-lunoris-setup:\\*\\.lns"
                       "subclasses|application/x-lunoris-setup text/plain"
                       "icons|application/x-lunoris-setup:lunoris"
                       "generic-icons|application/x-lunoris-setup:text-x-generic")
    string(REPLACE "|" ";" parts "${check}")
    list(GET parts 0 name)
    list(GET parts 1 pattern)
    file(STRINGS ${OUT}/${name} lines REGEX "^${pattern}$")
    if(NOT lines)
        message(FATAL_ERROR "${name} has no line ${pattern}")
    endif()
endforeach()
message(STATUS "application/x-lunoris-setup: *.lns, a kind of text/plain, with the program's icon")

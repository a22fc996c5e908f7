# The programs the build runs (data/, app/). A native build makes them in
# tools/; a cross-build cannot run what it makes, so it runs those of a
# native build of the same sources, from SW_HOST_TOOLS_DIR (that build's
# tools folder, build/tools).
#
# Either way a rule names the program by its target name in COMMAND (an
# imported executable resolves to its file there too) and depends on
# ${SW_TOOL_DEPENDS_<name>}: the target natively, the file when crossing
# (a DEPENDS on an imported target is not a dependency on its file).
set(SW_HOST_TOOLS mkdb mktext mkicons mkforms)
if(CMAKE_CROSSCOMPILING)
    if(NOT SW_HOST_TOOLS_DIR)
        message(FATAL_ERROR "A cross-build runs the build-time programs of a native build: "
                            "set SW_HOST_TOOLS_DIR to its tools folder (build/tools).")
    endif()
    foreach(tool IN LISTS SW_HOST_TOOLS)
        set(path "${SW_HOST_TOOLS_DIR}/${tool}")
        if(NOT EXISTS "${path}")
            message(FATAL_ERROR "${path} is missing: build the native tools first "
                                "(cmake --build build --target ${SW_HOST_TOOLS}).")
        endif()
        add_executable(${tool} IMPORTED GLOBAL)
        set_target_properties(${tool} PROPERTIES IMPORTED_LOCATION "${path}")
        set(SW_TOOL_DEPENDS_${tool} "${path}")
    endforeach()
else()
    foreach(tool IN LISTS SW_HOST_TOOLS)
        set(SW_TOOL_DEPENDS_${tool} ${tool})
    endforeach()
endif()

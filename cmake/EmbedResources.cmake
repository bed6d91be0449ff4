# embed_resources(<target> <NAME>=<file> ...)
#
# Compiles the files into <target> as named resources: each is registered
# with forms::RegisterResource when the program starts, and reachable as
# `extern const std::string_view <NAME>Resource;` so that code using one
# keeps the table linked in.
set(EMBED_RESOURCES_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/GenerateResource.cmake)

function(embed_resources target)
  foreach(entry IN LISTS ARGN)
    string(REPLACE "=" ";" parts "${entry}")
    list(GET parts 0 name)
    list(GET parts 1 file)
    get_filename_component(input ${file} ABSOLUTE)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/resource_${name}.cpp)
    add_custom_command(
      OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -DNAME=${name} -DINPUT=${input} -DOUTPUT=${output}
              -P ${EMBED_RESOURCES_SCRIPT}
      DEPENDS ${input} ${EMBED_RESOURCES_SCRIPT}
      COMMENT "Embedding ${name}"
      VERBATIM)
    target_sources(${target} PRIVATE ${output})
  endforeach()
endfunction()

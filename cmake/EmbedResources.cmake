# embed_resources(<target> <NAME>=<file> ...)
#
# Compiles the files into <target> as named resources, all in one generated
# source: each is registered with forms::RegisterResource when the program
# starts, and reachable as `extern const std::string_view <NAME>Resource;`,
# so code that uses any one of them keeps the whole table linked in.
set(EMBED_RESOURCES_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/GenerateResources.cmake)

function(embed_resources target)
  set(entries "")
  set(inputs "")
  foreach(entry IN LISTS ARGN)
    string(REPLACE "=" ";" parts "${entry}")
    list(GET parts 0 name)
    list(GET parts 1 file)
    get_filename_component(input ${file} ABSOLUTE)
    list(APPEND entries "${name}=${input}")
    list(APPEND inputs ${input})
  endforeach()
  string(REPLACE ";" "|" joined "${entries}")
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} "-DENTRIES=${joined}" -DOUTPUT=${output} -P ${EMBED_RESOURCES_SCRIPT}
    DEPENDS ${inputs} ${EMBED_RESOURCES_SCRIPT}
    COMMENT "Embedding resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()

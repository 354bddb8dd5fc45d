# Compiles every file below a resources folder into the library as a named blob.
# Layout: resources/<TYPE>/<NAME>.<ext>; the type and the name are taken in upper
# case (RCDATA/TRYXSFBLOCONTROL.dfm -> type "RCDATA", name "TRYXSFBLOCONTROL").
# A name made only of digits is a numbered resource.
function(ryx_embed_resources target dir)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${dir}/*/*)
  list(FILTER files EXCLUDE REGEX "/README[^/]*$")
  set(out ${CMAKE_CURRENT_BINARY_DIR}/ryx_resources.cpp)
  # The list goes to the script with "|" between the files, so that no shell or
  # CMake list splitting gets in the way.
  string(REPLACE ";" "|" file_arg "${files}")
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DOUT=${out} -DDIR=${dir} -DFILES=${file_arg}
            -P ${PROJECT_SOURCE_DIR}/cmake/embed_resources.cmake
    DEPENDS ${files} ${PROJECT_SOURCE_DIR}/cmake/embed_resources.cmake
    COMMENT "Embedding resources"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()

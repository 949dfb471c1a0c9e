# Compiles files into a target as program resources (platform/base/resources.h).
#   ostrel_embed_resource(TARGET target TYPE "PNG" ID 165 FILE path/to/file)
# The generated source registers the bytes before main, so the target must be an
# executable (or link the generated source directly), not a static library.
# With FUNCTION name, it defines `void name()` that registers them instead, for
# static libraries, whose unreferenced initialisers the linker may drop.
set(OSTREL_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedResource.cmake)

function(ostrel_embed_resource)
  cmake_parse_arguments(R "" "TARGET;TYPE;ID;FILE;FUNCTION" "" ${ARGN})
  get_filename_component(input ${R_FILE} ABSOLUTE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/resource_${R_TYPE}_${R_ID}.cpp)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output}
            -DTYPE=${R_TYPE} -DID=${R_ID} -DFUNCTION=${R_FUNCTION} -P ${OSTREL_EMBED_SCRIPT}
    DEPENDS ${input} ${OSTREL_EMBED_SCRIPT}
    COMMENT "Embedding resource ${R_TYPE} ${R_ID}")
  target_sources(${R_TARGET} PRIVATE ${output})
endfunction()

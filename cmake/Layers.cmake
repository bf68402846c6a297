# The program's layers. Each folder under src/ is one static library, grovanta_<folder>, linked PUBLIC to
# the layers it builds on, so a call that goes the wrong way (from a lower layer into a higher one) has
# no definition when a lower layer's tests link and fails to link. A build step beside each library
# also reads its folder's includes and stops the build on an include of a layer it may not use, which
# catches the wrong-way uses that a link cannot see (types, inline functions, constants).

set(GROVANTA_LAYER_CHECK ${CMAKE_CURRENT_LIST_DIR}/CheckLayerIncludes.cmake)

# grovanta_layer(<folder> [DEPENDS <layer>...] [EXCLUDE <file>...] [SOURCES <file>...])
#   DEPENDS: the layers right below; the layers below those may be used too.
#   EXCLUDE: files of the folder that belong to no library (the program's entry).
#   SOURCES: more sources of the library (generated ones).
function(grovanta_layer name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;EXCLUDE;SOURCES" ${ARGN})
  set(folder ${CMAKE_SOURCE_DIR}/src/${name})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${folder}/*.h)
  foreach(file ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${folder}/${file})
  endforeach()

  add_library(grovanta_${name} STATIC ${sources} ${ARG_SOURCES})
  target_include_directories(grovanta_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(grovanta_${name} PRIVATE ${GROVANTA_WARNINGS})

  set(allowed ${name})
  foreach(dep ${ARG_DEPENDS})
    if(NOT TARGET grovanta_${dep})
      message(FATAL_ERROR "layer ${name}: the layer ${dep} it builds on is not defined yet")
    endif()
    target_link_libraries(grovanta_${name} PUBLIC grovanta_${dep})
    get_property(below GLOBAL PROPERTY GROVANTA_LAYER_USES_${dep})
    list(APPEND allowed ${dep} ${below})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set_property(GLOBAL PROPERTY GROVANTA_LAYER_USES_${name} ${allowed})

  string(REPLACE ";" "," allowed_list "${allowed}")
  set(stamp ${CMAKE_BINARY_DIR}/layers/${name}.checked)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DLAYER=${name} -DALLOWED=${allowed_list} -DSOURCE_ROOT=${CMAKE_SOURCE_DIR}/src
            -DSTAMP=${stamp} -P ${GROVANTA_LAYER_CHECK}
    DEPENDS ${sources} ${headers} ${GROVANTA_LAYER_CHECK}
    COMMENT "Checking the includes of the ${name} layer"
    VERBATIM)
  add_custom_target(grovanta_${name}_includes DEPENDS ${stamp})
  add_dependencies(grovanta_${name} grovanta_${name}_includes)
endfunction()

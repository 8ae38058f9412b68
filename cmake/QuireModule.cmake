# quire_module(NAME FOLDER folder SOURCES ... [DEPENDS module ...])
#
# One folder's code as an object library. Each folder's headers are reached
# through an include root of its own that holds only that folder, and a
# module sees only the roots of the modules it depends on: an include that
# runs against the direction of dependencies does not compile.
function(quire_module name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "FOLDER" "SOURCES;DEPENDS")
  set(root ${PROJECT_BINARY_DIR}/include_roots/${arg_FOLDER})
  if(NOT EXISTS ${root}/${arg_FOLDER})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${arg_FOLDER} ${root}/${arg_FOLDER} SYMBOLIC)
  endif()
  add_library(quire_${name} OBJECT ${arg_SOURCES})
  target_include_directories(quire_${name} PUBLIC
    $<BUILD_INTERFACE:${root}>
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>)
  target_compile_definitions(quire_${name} PRIVATE QUIRE_BUILDING_LIBRARY)
  foreach(dependency ${arg_DEPENDS})
    target_link_libraries(quire_${name} PUBLIC quire_${dependency})
  endforeach()
  set_property(GLOBAL APPEND PROPERTY QUIRE_MODULES quire_${name})
endfunction()

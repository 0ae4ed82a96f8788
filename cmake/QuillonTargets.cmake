# Common compile settings for every target of the project.
function(quillon_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
  if(QUILLON_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_compile_definitions(${target} PRIVATE
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/generated)
endfunction()

# A folder's headers are reached as "<folder>/<name>.h" by the targets that
# link one of the folder's targets, and by no one else: each folder has an
# include root of its own in the build holding links to its headers only
# (not to those of its subfolders), so an include of a layer the target
# does not link fails to compile.
function(quillon_folder_headers target folder)
  string(REPLACE "/" "_" key ${folder})
  set(root ${CMAKE_BINARY_DIR}/include/${key})
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  # Made anew at each configure, so a header moved away leaves no link
  # behind (the build follows the links, so they cause no rebuild).
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  foreach(header IN LISTS headers)
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

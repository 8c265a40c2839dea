# Third-party sources are built with the project's own settings: the tree that scripts/setup
# fetched into DEPS_DIR is checked against the checksum recorded in cmake/dependencies/sources,
# copied into the build tree at configure time, and the copies of the files that the patches in
# cmake/dependencies/<package>/ change are written patched. Nothing of the sources is committed
# and the fetched tree stays pristine.
include_guard(GLOBAL)

set(DEPENDENCIES_DIR "${CMAKE_CURRENT_LIST_DIR}/dependencies")
find_program(PATCH_EXECUTABLE patch REQUIRED)

# The checksum recorded for a package, into the variable out.
function(recorded_checksum package out)
  file(STRINGS "${DEPENDENCIES_DIR}/sources" lines REGEX "^${package} ")
  list(LENGTH lines count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "cmake/dependencies/sources records ${package} ${count} times, not once")
  endif()
  string(REGEX REPLACE "^[^ ]+ [^ ]+ ([0-9a-f]+)$" "\\1" checksum "${lines}")
  set(${out} "${checksum}" PARENT_SCOPE)
endfunction()

# The files a patch changes, relative to the tree it applies to (its "+++ b/<path>" lines).
function(patched_files patch out)
  file(STRINGS "${patch}" targets REGEX "^\\+\\+\\+ ")
  set(files)
  foreach(line IN LISTS targets)
    string(REGEX REPLACE "^\\+\\+\\+ b/([^\t]+).*$" "\\1" path "${line}")
    if(path STREQUAL line)
      message(FATAL_ERROR "${patch}: \"${line}\" names no file under b/")
    endif()
    list(APPEND files "${path}")
  endforeach()
  set(${out} "${files}" PARENT_SCOPE)
endfunction()

# dependency_sources(<package> <destination> DIRECTORIES <directory>...): mirrors the named
# directories of DEPS_DIR/<package> into <destination>, timestamps kept so an unchanged tree
# triggers no rebuild, with the package's patches applied in the order of their names. A tree
# whose checksum differs from the recorded one, or a patch that does not apply exactly, stops the
# configuration; a patched file is rewritten only when its text changes.
function(dependency_sources package to)
  cmake_parse_arguments(D "" "" "DIRECTORIES" ${ARGN})
  set(from "${DEPS_DIR}/${package}")
  if(NOT IS_DIRECTORY "${from}")
    message(FATAL_ERROR "Missing ${from}: run scripts/setup to fetch the dependency sources")
  endif()
  file(GLOB patches "${DEPENDENCIES_DIR}/${package}/*.patch")
  list(SORT patches)
  set_property(DIRECTORY "${CMAKE_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    "${DEPENDENCIES_DIR}/sources" ${patches})

  recorded_checksum(${package} expected)
  execute_process(COMMAND "${CMAKE_SOURCE_DIR}/scripts/source-checksum" "${from}"
    OUTPUT_VARIABLE actual OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
  if(failed OR NOT actual STREQUAL expected)
    message(FATAL_ERROR "The ${package} sources in ${from} have the checksum ${actual}, not the ${expected} "
      "recorded in cmake/dependencies/sources: remove ${from} and run scripts/setup to fetch them afresh")
  endif()

  set(changed)
  foreach(patch IN LISTS patches)
    patched_files("${patch}" files)
    list(APPEND changed ${files})
  endforeach()
  list(REMOVE_DUPLICATES changed)

  foreach(directory IN LISTS D_DIRECTORIES)
    set(excludes)
    foreach(path IN LISTS changed)
      if(path MATCHES "^${directory}/")
        string(REGEX REPLACE "([][+.*()^$?|\\\\])" "\\\\\\1" escaped "${path}")
        list(APPEND excludes REGEX "/${escaped}$" EXCLUDE)
      endif()
    endforeach()
    file(COPY "${from}/${directory}/" DESTINATION "${to}/${directory}" ${excludes})
  endforeach()

  # The patches apply to fresh copies of the files they change, away from the destination.
  set(staging "${CMAKE_BINARY_DIR}/${package}-patching")
  file(REMOVE_RECURSE "${staging}")
  foreach(path IN LISTS changed)
    set(inside FALSE)
    foreach(directory IN LISTS D_DIRECTORIES)
      if(path MATCHES "^${directory}/")
        set(inside TRUE)
      endif()
    endforeach()
    if(NOT inside OR NOT EXISTS "${from}/${path}")
      message(FATAL_ERROR "A patch of ${package} changes ${path}, which is not among the sources the build copies")
    endif()
    get_filename_component(parent "${staging}/${path}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    file(COPY_FILE "${from}/${path}" "${staging}/${path}")
  endforeach()
  foreach(patch IN LISTS patches)
    execute_process(COMMAND "${PATCH_EXECUTABLE}" -p1 --batch --forward --fuzz=0 --no-backup-if-mismatch --reject-file=-
        --input "${patch}"
      WORKING_DIRECTORY "${staging}" OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "${patch} does not apply to the ${package} sources:\n${output}")
    endif()
  endforeach()
  foreach(path IN LISTS changed)
    file(COPY_FILE "${staging}/${path}" "${to}/${path}" ONLY_IF_DIFFERENT)
  endforeach()
  file(REMOVE_RECURSE "${staging}")
endfunction()

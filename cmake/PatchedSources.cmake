# Third-party sources are built with the project's own settings: they are copied from DEPS_DIR
# into the build tree at configure time and the copies are patched there, so nothing of them is
# committed and the fetched tree stays pristine.
include_guard(GLOBAL)

# copy_dependency_tree(<source dir> <destination dir> [EXCLUDE <file name>...]): mirrors a
# directory, timestamps kept so an unchanged tree triggers no rebuild. Excluded files are the
# ones written patched.
function(copy_dependency_tree from to)
  cmake_parse_arguments(C "" "" "EXCLUDE" ${ARGN})
  if(NOT IS_DIRECTORY "${from}")
    message(FATAL_ERROR "Missing ${from}: run scripts/setup to fetch the dependency sources")
  endif()
  set(excludes)
  foreach(name IN LISTS C_EXCLUDE)
    list(APPEND excludes PATTERN "${name}" EXCLUDE)
  endforeach()
  file(COPY "${from}/" DESTINATION "${to}" ${excludes})
endfunction()

# replace_required(<text variable> <old> <new>): replaces old by new in the variable's text. A text
# that is not found stops the configuration, so a changed upstream file can never silently lose
# a setting. (Fixed arguments, because the texts may hold semicolons.)
function(replace_required variable old new)
  string(FIND "${${variable}}" "${old}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "replace_required: \"${old}\" not found in the text of ${variable}")
  endif()
  string(REPLACE "${old}" "${new}" text "${${variable}}")
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()

# write_if_changed(<file> <text>): rewrites the file only when its text changes, so an unchanged
# configuration triggers no rebuild.
function(write_if_changed path text)
  file(WRITE "${path}.new" "${text}")
  file(COPY_FILE "${path}.new" "${path}" ONLY_IF_DIFFERENT)
  file(REMOVE "${path}.new")
endfunction()

# Builds the game's sounds in a project of their own, from a copy of the data sources with a
# second, empty sound list: the empty list configures, a renamed sound is the only one the next
# build makes, a build with nothing changed makes none, and a sound made again comes out byte for
# byte the same. Arguments: SOURCE (the gamedata folder), GENERATOR (CMake's) and WORK (a
# scratch directory).
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/source/gamedata")
file(COPY "${SOURCE}/CMakeLists.txt" "${SOURCE}/tools" "${SOURCE}/audio" DESTINATION "${WORK}/source/gamedata")
file(WRITE "${WORK}/source/gamedata/audio/none.json" "{ \"rate\": 22050, \"sounds\": [] }\n")
file(WRITE "${WORK}/source/CMakeLists.txt"
  "cmake_minimum_required(VERSION 3.25)\nproject(sounds NONE)\n"
  "set(GAME_RUNTIME_DIR \"\${CMAKE_BINARY_DIR}/game\")\nadd_subdirectory(gamedata)\n")
set(list "${WORK}/source/gamedata/audio/sounds.json")
set(audio "${WORK}/build/game/data_ipad/audio")

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} failed:\n${output}\n${errors}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

# The sounds that a build made, as the names its progress lines give.
function(build)
  run("the build" "${CMAKE_COMMAND}" --build "${WORK}/build")
  string(REGEX MATCHALL "gamedata: audio/[A-Za-z0-9_]+" lines "${output}")
  list(TRANSFORM lines REPLACE "gamedata: audio/" "")
  set(made "${lines}" PARENT_SCOPE)
endfunction()

function(expect_made expected)
  if(NOT "${made}" STREQUAL "${expected}")
    message(FATAL_ERROR "the build made the sounds \"${made}\", expected \"${expected}\"")
  endif()
endfunction()

run("the configure" "${CMAKE_COMMAND}" -S "${WORK}/source" -B "${WORK}/build" -G "${GENERATOR}")
build()
list(LENGTH made count)
if(count LESS 2 OR NOT EXISTS "${audio}/click.wav")
  message(FATAL_ERROR "the first build made the sounds \"${made}\"")
endif()
build()
expect_made("")

file(READ "${list}" sounds)
string(REPLACE "\"name\": \"click\"" "\"name\": \"tick\"" renamed "${sounds}")
if(renamed STREQUAL sounds)
  message(FATAL_ERROR "no sound \"click\" in ${list}")
endif()
file(WRITE "${list}" "${renamed}")
build()
expect_made("tick")
build()
expect_made("")

file(RENAME "${audio}/hit_wood.wav" "${WORK}/hit_wood.wav")
build()
expect_made("hit_wood")
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${audio}/hit_wood.wav" "${WORK}/hit_wood.wav" RESULT_VARIABLE differ)
if(differ)
  message(FATAL_ERROR "a sound made again is not byte for byte the same")
endif()
file(REMOVE_RECURSE "${WORK}")

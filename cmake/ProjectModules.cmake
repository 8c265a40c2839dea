# One static library per module folder: <layer>/source/<module> (backend subfolders included),
# public headers in <layer>/include. A module whose folder holds no source yet is an interface
# target, so dependants configure before it is written.
set(PROJECT_WARNINGS -Wall -Wextra -Wno-unused-parameter)

function(project_module name)
  cmake_parse_arguments(M "" "LAYER;DIR" "DEPS;EXCLUDE;SOURCES" ${ARGN})
  if(NOT M_DIR)
    set(M_DIR "${M_LAYER}/source/${name}")
  endif()
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${M_DIR}/*.cpp")
  foreach(pattern IN LISTS M_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${pattern}")
  endforeach()
  foreach(source IN LISTS M_SOURCES)
    if(EXISTS "${source}")
      list(APPEND sources "${source}")
    endif()
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_compile_options(${name} PRIVATE ${PROJECT_WARNINGS})
    set(scope PUBLIC)
  else()
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${name} ${scope}
    "${CMAKE_SOURCE_DIR}/core/include" "${CMAKE_SOURCE_DIR}/engine/include"
    "${CMAKE_SOURCE_DIR}/platform/include")
  target_link_libraries(${name} ${scope} ${M_DEPS})
endfunction()

# tests/<module>/*.cpp become one GoogleTest program whose cases are CTest tests labelled <module>.
function(module_tests module)
  cmake_parse_arguments(T "" "" "LIBS;ENVIRONMENT" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(test_${module} ${sources})
  target_compile_options(test_${module} PRIVATE ${PROJECT_WARNINGS})
  target_link_libraries(test_${module} PRIVATE ${module} ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(test_${module} PRIVATE "${CMAKE_SOURCE_DIR}/tests")
  # The environment goes through a launcher: discovery would split a list-valued test property.
  if(T_ENVIRONMENT)
    set_target_properties(test_${module} PROPERTIES
      CROSSCOMPILING_EMULATOR "${CMAKE_COMMAND};-E;env;${T_ENVIRONMENT}")
  endif()
  gtest_discover_tests(test_${module}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
    PROPERTIES LABELS ${module})
endfunction()

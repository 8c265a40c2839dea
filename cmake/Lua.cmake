# The Lua 5.1 interpreter as the static library luacore, built from the fetched sources as C++
# (so interpreter errors unwind as C++ exceptions of type lua_ErrorUnwind), with 32-bit float
# numbers written with "%.6g", no popen and no dynamic native modules: the patches in
# cmake/dependencies/lua5.1/ make these settings and define the integer conversions of script
# numbers.
include(PatchedSources)

dependency_sources(lua5.1 "${CMAKE_BINARY_DIR}/luacore" DIRECTORIES src)
set(LUA_BUILD_DIR "${CMAKE_BINARY_DIR}/luacore/src")

file(GLOB LUA_CORE_SOURCES "${LUA_BUILD_DIR}/*.c")
list(FILTER LUA_CORE_SOURCES EXCLUDE REGEX "/(lua|luac|print)\\.c$")
set_source_files_properties(${LUA_CORE_SOURCES} PROPERTIES LANGUAGE CXX)

add_library(luacore STATIC ${LUA_CORE_SOURCES})
target_include_directories(luacore PUBLIC "${LUA_BUILD_DIR}")
# os.tmpname through mkstemp rather than tmpnam.
target_compile_definitions(luacore PRIVATE LUA_USE_MKSTEMP)
target_compile_options(luacore PRIVATE -w)

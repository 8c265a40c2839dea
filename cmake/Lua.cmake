# The Lua 5.1 interpreter as the static library luacore, built from the fetched sources as C++
# (so interpreter errors unwind as C++ exceptions of type lua_ErrorUnwind), with 32-bit float
# numbers written with "%.6g", no popen and no dynamic native modules.
include(PatchedSources)

set(LUA_SOURCE_DIR "${DEPS_DIR}/lua5.1/src")
set(LUA_BUILD_DIR "${CMAKE_BINARY_DIR}/luacore")

copy_dependency_tree("${LUA_SOURCE_DIR}" "${LUA_BUILD_DIR}" EXCLUDE luaconf.h)
file(READ "${LUA_SOURCE_DIR}/luaconf.h" luaconf)
# Native modules cannot be loaded, so the packaging's multiarch header is not needed.
replace_required(luaconf "#include \"lua5.1-deb-multiarch.h\"" "#define DEB_HOST_MULTIARCH \"\"")
replace_required(luaconf "#define LUA_NUMBER_DOUBLE\n#define LUA_NUMBER\tdouble" "#define LUA_NUMBER\tfloat")
replace_required(luaconf "#define LUA_NUMBER_SCAN\t\t\"%lf\"" "#define LUA_NUMBER_SCAN\t\t\"%f\"")
replace_required(luaconf "#define LUA_NUMBER_FMT\t\t\"%.14g\"" "#define LUA_NUMBER_FMT\t\t\"%.6g\"")
replace_required(luaconf "#define lua_str2number(s,p)\tstrtod((s), (p))"
  "#define lua_str2number(s,p)\tstrtof((s), (p))")
# The interpreter throws a type of its own, which the binding names to let the interpreter's
# unwinding pass through bound methods; the error code is already in the jump record.
replace_required(luaconf "#define LUAI_THROW(L,c)\tthrow(c)\n#define LUAI_TRY(L,c,a)\ttry { a } catch(...) \\\n"
  "struct lua_ErrorUnwind {};\n#define LUAI_THROW(L,c)\tthrow lua_ErrorUnwind()\n#define LUAI_TRY(L,c,a)\ttry { a } catch(lua_ErrorUnwind&) {} catch(...) \\\n")
replace_required(luaconf "** without modifying the main part of the file.\n*/\n"
  "** without modifying the main part of the file.\n*/\n
#if defined(LUA_USE_POPEN) || defined(LUA_USE_DLOPEN) || defined(LUA_DL_DLOPEN) || \\
    defined(LUA_DL_DLL) || defined(LUA_DL_DYLD) || defined(LUA_NUMBER_DOUBLE)
#error \"the interpreter is built without popen, native modules and double numbers\"
#endif\n")
write_if_changed("${LUA_BUILD_DIR}/luaconf.h" "${luaconf}")

file(GLOB LUA_CORE_SOURCES "${LUA_BUILD_DIR}/*.c")
list(FILTER LUA_CORE_SOURCES EXCLUDE REGEX "/(lua|luac|print)\\.c$")
set_source_files_properties(${LUA_CORE_SOURCES} PROPERTIES LANGUAGE CXX)

add_library(luacore STATIC ${LUA_CORE_SOURCES})
target_include_directories(luacore PUBLIC "${LUA_BUILD_DIR}")
# os.tmpname through mkstemp rather than tmpnam.
target_compile_definitions(luacore PRIVATE LUA_USE_MKSTEMP)
# Number-to-integer conversions (table keys, string.rep counts) truncate like the platform's cast;
# scripts may hand any float there.
target_compile_options(luacore PRIVATE -w -fno-sanitize=float-cast-overflow)

# The Lua 5.1 interpreter as the static library luacore, built from the fetched sources as C++
# (so interpreter errors unwind as C++ exceptions of type lua_ErrorUnwind), with 32-bit float
# numbers written with "%.6g", no popen and no dynamic native modules.
include(PatchedSources)

set(LUA_SOURCE_DIR "${DEPS_DIR}/lua5.1/src")
set(LUA_BUILD_DIR "${CMAKE_BINARY_DIR}/luacore")

# Sources patched below are excluded from the copy and written patched.
set(LUA_PATCHED_SOURCES ltable.c lbaselib.c lmathlib.c lstrlib.c loslib.c)
copy_dependency_tree("${LUA_SOURCE_DIR}" "${LUA_BUILD_DIR}" EXCLUDE luaconf.h ${LUA_PATCHED_SOURCES})
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
# Number-to-integer conversions (table keys, library arguments) defined for every number the
# scripts may hand them: no number, or one beyond the range, becomes the range's lowest value,
# which no array index or table key of a whole number holds.
replace_required(luaconf "#define lua_number2int(i,d)\t((i)=(int)(d))\n#define lua_number2integer(i,d)\t((i)=(lua_Integer)(d))"
  "static inline int luai_number2int (LUA_NUMBER d) {
  return (d >= -2147483648.0f && d < 2147483648.0f) ? (int)d : INT_MIN;
}
static inline long luai_number2long (LUA_NUMBER d) {
  return (d >= -9223372036854775808.0f && d < 9223372036854775808.0f) ? (long)d : LONG_MIN;
}
#define lua_number2int(i,d)\t((i)=luai_number2int(d))
#define lua_number2integer(i,d)\t((i)=(lua_Integer)luai_number2long(d))")
# A chunk read from a file is named by the file's path, at most 249 characters (io::PathName):
# error messages show it whole, with room for the 17 bytes of quoting around it and the end.
replace_required(luaconf "#define LUA_IDSIZE\t60" "#define LUA_IDSIZE\t270")
write_if_changed("${LUA_BUILD_DIR}/luaconf.h" "${luaconf}")

# The interpreter's own integer arithmetic on script numbers, made defined where the upstream
# code overflows: an array index of INT_MIN, ranges and counters at the int limits, and casts of
# numbers beyond the integer types in string formatting and time conversion (through the
# defined conversion above).
file(READ "${LUA_SOURCE_DIR}/ltable.c" ltable)
replace_required(ltable "if (cast(unsigned int, key-1) < cast(unsigned int, t->sizearray))"
  "if (cast(unsigned int, key) - 1u < cast(unsigned int, t->sizearray))")
write_if_changed("${LUA_BUILD_DIR}/ltable.c" "${ltable}")

file(READ "${LUA_SOURCE_DIR}/lbaselib.c" lbaselib)
replace_required(lbaselib "n = e - i + 1;  /* number of elements */"
  "n = (int)((unsigned int)e - (unsigned int)i + 1u);  /* number of elements */")
write_if_changed("${LUA_BUILD_DIR}/lbaselib.c" "${lbaselib}")

file(READ "${LUA_SOURCE_DIR}/lmathlib.c" lmathlib)
replace_required(lmathlib "floor(r*(u-l+1))+l" "floor(r*((lua_Number)u-(lua_Number)l+1))+l")
write_if_changed("${LUA_BUILD_DIR}/lmathlib.c" "${lmathlib}")

file(READ "${LUA_SOURCE_DIR}/lstrlib.c" lstrlib)
replace_required(lstrlib "(int)luaL_checknumber(L, arg)" "(int)luaL_checkinteger(L, arg)")
replace_required(lstrlib "(LUA_INTFRM_T)luaL_checknumber(L, arg)" "(LUA_INTFRM_T)luaL_checkinteger(L, arg)")
replace_required(lstrlib "(unsigned LUA_INTFRM_T)luaL_checknumber(L, arg)" "(unsigned LUA_INTFRM_T)luaL_checkinteger(L, arg)")
write_if_changed("${LUA_BUILD_DIR}/lstrlib.c" "${lstrlib}")

file(READ "${LUA_SOURCE_DIR}/loslib.c" loslib)
replace_required(loslib "(time_t)luaL_checknumber, 2" "(time_t)luaL_checkinteger, 2")
replace_required(loslib "stm->tm_year+1900" "(int)((long)stm->tm_year+1900)")
replace_required(loslib "getfield(L, \"month\", -1) - 1" "(int)((long)getfield(L, \"month\", -1) - 1)")
replace_required(loslib "getfield(L, \"year\", -1) - 1900" "(int)((long)getfield(L, \"year\", -1) - 1900)")
replace_required(loslib "(time_t)(luaL_checknumber(L, 1))" "(time_t)(luaL_checkinteger(L, 1))")
replace_required(loslib "(time_t)(luaL_optnumber(L, 2, 0))" "(time_t)(luaL_optinteger(L, 2, 0))")
write_if_changed("${LUA_BUILD_DIR}/loslib.c" "${loslib}")

file(GLOB LUA_CORE_SOURCES "${LUA_BUILD_DIR}/*.c")
list(FILTER LUA_CORE_SOURCES EXCLUDE REGEX "/(lua|luac|print)\\.c$")
set_source_files_properties(${LUA_CORE_SOURCES} PROPERTIES LANGUAGE CXX)

add_library(luacore STATIC ${LUA_CORE_SOURCES})
target_include_directories(luacore PUBLIC "${LUA_BUILD_DIR}")
# os.tmpname through mkstemp rather than tmpnam.
target_compile_definitions(luacore PRIVATE LUA_USE_MKSTEMP)
target_compile_options(luacore PRIVATE -w)

#ifndef WORLD_SCRIPTTABLEKEYS_H
#define WORLD_SCRIPTTABLEKEYS_H

#include <lang/Array.h>
#include <lang/String.h>

namespace lua { class LuaTable; }

/** The keys of the table that are strings, in the table's walk order; other keys are left out. */
lang::Array<lang::String> scriptTableStringKeys(const lua::LuaTable& table);

#endif

#include <lua/LuaDispatch.h>

#include <lang/Format.h>
#include <lang/Throwable.h>
#include <lua/LuaException.h>
#include <lua/LuaFunctor.h>
#include <lua/LuaState.h>

#include <exception>

namespace lua {

namespace {

// Bytes, terminator included.
constexpr int STACK_TEXT_SIZE = 1000;

lang::String messageOf(const lang::Throwable& failure)
{
	try
	{
		return failure.getMessage().format();
	}
	catch (const lang::Throwable&)
	{
		return failure.getMessage().formatText();
	}
}

[[noreturn]] void throwDestroyed(lua_State* lua)
{
	char stack[STACK_TEXT_SIZE] = {};
	LuaState::appendStackTrace(stack, sizeof stack, lua);
	lang::throwError(LuaException(lang::Format("Called a method of a destroyed object{0}", lang::String(stack))));
}

} // namespace

int LuaDispatch::run(lua_State* lua, Body body)
{
	LuaState* state = nullptr;
	LuaFunctor functor;
	LuaState::getDispatchData(lua, &state, &functor);

	// The state's operations work on the calling thread (a coroutine, perhaps) for the call.
	struct ThreadScope
	{
		LuaState* state;
		lua_State* previous;
		~ThreadScope() { state->m_thread = previous; }
	};
	ThreadScope scope{state, state->m_thread};
	state->m_thread = lua;
	try
	{
		if (!functor.word(0))
			throwDestroyed(lua);
		return body(state, functor);
	}
	catch (lua_ErrorUnwind&)
	{
		// The interpreter's own error unwinding (a method that raised a Lua error) passes.
		throw;
	}
	catch (...)
	{
		return raiseCurrentException(state, lua);
	}
}

// Out of line, so that the successful path carries none of this. Raising from inside the handler
// is safe: the exception object lives on in the pending failure.
int LuaDispatch::raiseCurrentException(LuaState* state, lua_State* lua)
{
	std::exception_ptr failure = std::current_exception();
	lang::String text;
	try
	{
		throw;
	}
	catch (const lang::Throwable& e)
	{
		text = messageOf(e);
	}
	catch (const std::exception& e)
	{
		text = e.what();
	}
	catch (...)
	{
		text = "Unknown exception";
	}
	return state->raise(lua, std::move(failure), text.c_str());
}

} // lua

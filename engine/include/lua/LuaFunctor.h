#ifndef LUA_LUAFUNCTOR_H
#define LUA_LUAFUNCTOR_H

#include <cstring>

namespace lua {

// An object pointer and a member-function pointer as three machine words: the object, then the
// member pointer's two words in the platform's representation (address or virtual-table offset,
// and the this-adjustment with the virtual flag). A bound method carries these words as its
// three upvalues; calling through the reassembled pointer dispatches virtual members to the
// object's override. Plain value; the object is not owned.
class LuaFunctor
{
public:
	static constexpr int WORDS = 3;

	LuaFunctor() : m_words{} {}
	template <class T, class Method>
	LuaFunctor(T* object, Method method) : m_words{}
	{
		static_assert(sizeof(Method) == 2 * sizeof(void*), "member-function pointers are two words");
		m_words[0] = object;
		std::memcpy(&m_words[1], &method, sizeof(Method));
	}

	void* word(int index) const { return m_words[index]; }
	void setWord(int index, void* word) { m_words[index] = word; }

	template <class T>
	T* object() const { return static_cast<T*>(m_words[0]); }
	template <class Method>
	Method method() const
	{
		Method method;
		std::memcpy(&method, &m_words[1], sizeof(Method));
		return method;
	}

private:
	void* m_words[WORDS];
};

} // lua

#endif

#ifndef LANG_HASH_H
#define LANG_HASH_H

#include <lang/String.h>

namespace lang
{

/**
 * Hash functor of a Hashtable key type; stateless. Only the key types below are hashed: another key
 * type needs its own specialisation.
 */
template <class K>
class Hash;

/** h = h * 31 + b over the bytes taken as signed values, wrapping in 32 bits; "" hashes to 0. */
template <>
class Hash<String>
{
public:
	int operator()(const String& key) const					{ return key.hashCode(); }
};

/** Integer keys hash to their own value. */
template <>
class Hash<int>
{
public:
	int operator()(int key) const							{ return key; }
};

template <>
class Hash<unsigned int>
{
public:
	int operator()(unsigned int key) const					{ return static_cast<int>(key); }
};

template <>
class Hash<unsigned short>
{
public:
	int operator()(unsigned short key) const				{ return key; }
};

} // lang

#endif

#ifndef LANG_HASHTABLEPAIR_H
#define LANG_HASHTABLEPAIR_H

namespace lang
{

/**
 * One slot of a Hashtable bucket chain. The table owns every pair: the chain heads live in its bucket
 * array and the pairs after them are allocated singly. A vacant pair (used false) may be taken again.
 */
template <class K, class V>
class HashtablePair
{
public:
	K key;
	V value;
	HashtablePair* next;
	bool used;

	HashtablePair() : key(), value(), next(nullptr), used(false) {}
};

} // lang

#endif

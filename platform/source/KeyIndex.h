#ifndef PLATFORM_KEYINDEX_H
#define PLATFORM_KEYINDEX_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Finds a key among the keys of a record or dictionary without walking them all, so that a value
// of many keys is built and read in time in proportion to its keys. A few keys are walked; past
// that, their positions go into an open-addressing table. Holds positions only: the owner keeps
// the keys, in insertion order, and passes them to every call.
class KeyIndex
{
public:
	// The key's position in keys, or keys.size() when it is not there.
	std::size_t find(const std::vector<std::string>& keys, const std::string& key) const;
	// Takes in keys.back(), just appended; throws std::length_error past 2^32 - 2 keys.
	void added(const std::vector<std::string>& keys);

private:
	void insert(const std::vector<std::string>& keys, std::size_t position);

	// Per slot a key's position plus one, 0 when free; none while the keys are few. The number of
	// slots is a power of two, at least twice the number of keys.
	std::vector<std::uint32_t> m_slots;
};

} // platform

#endif

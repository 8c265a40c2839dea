#include "KeyIndex.h"
#include <algorithm>
#include <functional>
#include <limits>
#include <stdexcept>

namespace platform {

namespace {

// Up to this many keys a walk is cheaper than hashing.
const std::size_t WALKED_KEYS = 8;

std::size_t slotOf(const std::string& key, std::size_t slotCount)
{
	return std::hash<std::string>()(key) & (slotCount - 1);
}

} // namespace

std::size_t KeyIndex::find(const std::vector<std::string>& keys, const std::string& key) const
{
	if (m_slots.empty())
		return static_cast<std::size_t>(std::find(keys.begin(), keys.end(), key) - keys.begin());
	for (std::size_t slot = slotOf(key, m_slots.size());; slot = (slot + 1) & (m_slots.size() - 1))
	{
		const std::uint32_t held = m_slots[slot];
		if (held == 0)
			return keys.size();
		if (keys[held - 1] == key)
			return held - 1;
	}
}

void KeyIndex::added(const std::vector<std::string>& keys)
{
	if (keys.size() >= std::numeric_limits<std::uint32_t>::max())
		throw std::length_error("Too many keys to index");
	if (keys.size() <= WALKED_KEYS)
		return;
	if (keys.size() * 2 <= m_slots.size())
	{
		insert(keys, keys.size() - 1);
		return;
	}
	std::size_t slotCount = std::max<std::size_t>(m_slots.size(), WALKED_KEYS * 4);
	while (slotCount < keys.size() * 2)
		slotCount *= 2;
	m_slots.assign(slotCount, 0);
	for (std::size_t position = 0; position < keys.size(); ++position)
		insert(keys, position);
}

void KeyIndex::insert(const std::vector<std::string>& keys, std::size_t position)
{
	std::size_t slot = slotOf(keys[position], m_slots.size());
	while (m_slots[slot] != 0)
		slot = (slot + 1) & (m_slots.size() - 1);
	m_slots[slot] = static_cast<std::uint32_t>(position + 1);
}

} // platform

#include <platform/ArchiveValue.h>
#include "KeyIndex.h"
#include <cstring>
#include <utility>

namespace platform {

// What a record, an array or a dictionary holds.
struct ArchiveValue::Elements
{
	// Records only.
	std::string className;
	// Records and dictionaries: the keys in insertion order, each with the item at its position.
	std::vector<std::string> keys;
	KeyIndex index;
	std::vector<ArchiveValue> items;
};

namespace {

std::uint64_t bitsOf(double value)
{
	std::uint64_t bits;
	std::memcpy(&bits, &value, sizeof(bits));
	return bits;
}

double doubleOf(std::uint64_t bits)
{
	double value;
	std::memcpy(&value, &bits, sizeof(value));
	return value;
}

} // namespace

ArchiveValue::ArchiveValue(Kind kind) :
	m_kind(kind)
{
	if (holdsText())
		m_held.text = new std::string;
	else if (holdsElements())
		m_held.elements = new Elements;
}

ArchiveValue::ArchiveValue(const ArchiveValue& other) :
	m_kind(other.m_kind),
	m_held(other.m_held)
{
	if (holdsText())
		m_held.text = new std::string(*other.m_held.text);
	else if (holdsElements())
		m_held.elements = new Elements(*other.m_held.elements);
}

ArchiveValue::ArchiveValue(ArchiveValue&& other) noexcept :
	m_kind(other.m_kind),
	m_held(other.m_held)
{
	other.m_kind = Kind::Int;
	other.m_held.scalar = 0;
}

ArchiveValue& ArchiveValue::operator=(ArchiveValue other) noexcept
{
	std::swap(m_kind, other.m_kind);
	std::swap(m_held, other.m_held);
	return *this;
}

ArchiveValue::~ArchiveValue()
{
	if (holdsText())
		delete m_held.text;
	else if (holdsElements())
		delete m_held.elements;
}

bool ArchiveValue::holdsText() const
{
	return m_kind == Kind::String || m_kind == Kind::Bytes;
}

bool ArchiveValue::holdsElements() const
{
	return m_kind == Kind::Record || m_kind == Kind::Array || m_kind == Kind::Dictionary;
}

ArchiveValue ArchiveValue::integer(std::int64_t value)
{
	ArchiveValue v(Kind::Int);
	v.m_held.scalar = static_cast<std::uint64_t>(value);
	return v;
}

ArchiveValue ArchiveValue::real(double value)
{
	ArchiveValue v(Kind::Double);
	v.m_held.scalar = bitsOf(value);
	return v;
}

ArchiveValue ArchiveValue::boolean(bool value)
{
	ArchiveValue v(Kind::Bool);
	v.m_held.scalar = value ? 1 : 0;
	return v;
}

ArchiveValue ArchiveValue::string(std::string value)
{
	ArchiveValue v(Kind::String);
	*v.m_held.text = std::move(value);
	return v;
}

ArchiveValue ArchiveValue::bytes(std::string value)
{
	ArchiveValue v(Kind::Bytes);
	*v.m_held.text = std::move(value);
	return v;
}

ArchiveValue ArchiveValue::date(double seconds)
{
	ArchiveValue v(Kind::Date);
	v.m_held.scalar = bitsOf(seconds);
	return v;
}

ArchiveValue ArchiveValue::record(std::string className)
{
	ArchiveValue v(Kind::Record);
	v.m_held.elements->className = std::move(className);
	return v;
}

ArchiveValue ArchiveValue::array()
{
	return ArchiveValue(Kind::Array);
}

ArchiveValue ArchiveValue::dictionary()
{
	return ArchiveValue(Kind::Dictionary);
}

void ArchiveValue::expect(Kind kind) const
{
	if (m_kind != kind)
		throw ArchiveError("Archive value of kind " + std::to_string(static_cast<int>(m_kind)) + " read as kind " + std::to_string(static_cast<int>(kind)));
}

void ArchiveValue::expectKeyed() const
{
	if (m_kind != Kind::Record && m_kind != Kind::Dictionary)
		throw ArchiveError("Archive value has no keys");
}

std::int64_t ArchiveValue::asInt() const
{
	expect(Kind::Int);
	return static_cast<std::int64_t>(m_held.scalar);
}

double ArchiveValue::asDouble() const
{
	expect(Kind::Double);
	return doubleOf(m_held.scalar);
}

bool ArchiveValue::asBool() const
{
	expect(Kind::Bool);
	return m_held.scalar != 0;
}

const std::string& ArchiveValue::asString() const
{
	expect(Kind::String);
	return *m_held.text;
}

const std::string& ArchiveValue::asBytes() const
{
	expect(Kind::Bytes);
	return *m_held.text;
}

double ArchiveValue::asDate() const
{
	expect(Kind::Date);
	return doubleOf(m_held.scalar);
}

const std::string& ArchiveValue::className() const
{
	expect(Kind::Record);
	return m_held.elements->className;
}

std::size_t ArchiveValue::find(const std::string& key) const
{
	expectKeyed();
	return m_held.elements->index.find(m_held.elements->keys, key);
}

void ArchiveValue::set(std::string key, ArchiveValue value)
{
	const std::size_t found = find(key);
	Elements& elements = *m_held.elements;
	if (found < elements.keys.size())
	{
		elements.items[found] = std::move(value);
		return;
	}
	elements.keys.push_back(std::move(key));
	elements.items.push_back(std::move(value));
	elements.index.added(elements.keys);
}

bool ArchiveValue::has(const std::string& key) const
{
	return find(key) < m_held.elements->keys.size();
}

const ArchiveValue& ArchiveValue::get(const std::string& key) const
{
	const std::size_t found = find(key);
	if (found == m_held.elements->keys.size())
		throw ArchiveError("Archive has no value for key \"" + key + "\"");
	return m_held.elements->items[found];
}

const std::vector<std::string>& ArchiveValue::keys() const
{
	expectKeyed();
	return m_held.elements->keys;
}

void ArchiveValue::append(ArchiveValue value)
{
	expect(Kind::Array);
	m_held.elements->items.push_back(std::move(value));
}

const std::vector<ArchiveValue>& ArchiveValue::items() const
{
	if (m_kind != Kind::Array)
		expectKeyed();
	return m_held.elements->items;
}

bool ArchiveValue::operator==(const ArchiveValue& other) const
{
	if (m_kind != other.m_kind)
		return false;
	if (holdsText())
		return *m_held.text == *other.m_held.text;
	if (holdsElements())
	{
		const Elements& mine = *m_held.elements;
		const Elements& theirs = *other.m_held.elements;
		return mine.className == theirs.className && mine.keys == theirs.keys && mine.items == theirs.items;
	}
	// Doubles compare by their bits, so that a NaN survives a round trip equal to itself.
	return m_held.scalar == other.m_held.scalar;
}

} // platform

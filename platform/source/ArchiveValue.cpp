#include <platform/ArchiveValue.h>
#include <algorithm>
#include <cstring>

namespace platform {

ArchiveValue ArchiveValue::integer(std::int64_t value)
{
	ArchiveValue v(Kind::Int);
	v.m_int = value;
	return v;
}

ArchiveValue ArchiveValue::real(double value)
{
	ArchiveValue v(Kind::Double);
	v.m_real = value;
	return v;
}

ArchiveValue ArchiveValue::boolean(bool value)
{
	ArchiveValue v(Kind::Bool);
	v.m_int = value ? 1 : 0;
	return v;
}

ArchiveValue ArchiveValue::string(const std::string& value)
{
	ArchiveValue v(Kind::String);
	v.m_text = value;
	return v;
}

ArchiveValue ArchiveValue::bytes(const std::string& value)
{
	ArchiveValue v(Kind::Bytes);
	v.m_text = value;
	return v;
}

ArchiveValue ArchiveValue::date(double seconds)
{
	ArchiveValue v(Kind::Date);
	v.m_real = seconds;
	return v;
}

ArchiveValue ArchiveValue::record(const std::string& className)
{
	ArchiveValue v(Kind::Record);
	v.m_text = className;
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
	return m_int;
}

double ArchiveValue::asDouble() const
{
	expect(Kind::Double);
	return m_real;
}

bool ArchiveValue::asBool() const
{
	expect(Kind::Bool);
	return m_int != 0;
}

const std::string& ArchiveValue::asString() const
{
	expect(Kind::String);
	return m_text;
}

const std::string& ArchiveValue::asBytes() const
{
	expect(Kind::Bytes);
	return m_text;
}

double ArchiveValue::asDate() const
{
	expect(Kind::Date);
	return m_real;
}

const std::string& ArchiveValue::className() const
{
	expect(Kind::Record);
	return m_text;
}

void ArchiveValue::set(const std::string& key, const ArchiveValue& value)
{
	expectKeyed();
	const auto found = std::find(m_keys.begin(), m_keys.end(), key);
	if (found != m_keys.end())
	{
		m_items[found - m_keys.begin()] = value;
		return;
	}
	m_keys.push_back(key);
	m_items.push_back(value);
}

bool ArchiveValue::has(const std::string& key) const
{
	expectKeyed();
	return std::find(m_keys.begin(), m_keys.end(), key) != m_keys.end();
}

const ArchiveValue& ArchiveValue::get(const std::string& key) const
{
	expectKeyed();
	const auto found = std::find(m_keys.begin(), m_keys.end(), key);
	if (found == m_keys.end())
		throw ArchiveError("Archive has no value for key \"" + key + "\"");
	return m_items[found - m_keys.begin()];
}

const std::vector<std::string>& ArchiveValue::keys() const
{
	expectKeyed();
	return m_keys;
}

void ArchiveValue::append(const ArchiveValue& value)
{
	expect(Kind::Array);
	m_items.push_back(value);
}

const std::vector<ArchiveValue>& ArchiveValue::items() const
{
	if (m_kind != Kind::Array)
		expectKeyed();
	return m_items;
}

bool ArchiveValue::operator==(const ArchiveValue& other) const
{
	// Doubles compare by bits so that a NaN survives a round trip equal to itself.
	return m_kind == other.m_kind && m_int == other.m_int &&
		std::memcmp(&m_real, &other.m_real, sizeof(m_real)) == 0 &&
		m_text == other.m_text && m_keys == other.m_keys && m_items == other.m_items;
}

} // platform

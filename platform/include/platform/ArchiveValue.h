#ifndef PLATFORM_ARCHIVEVALUE_H
#define PLATFORM_ARCHIVEVALUE_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

// A failed archive read: a wrong kind, a missing key, or a corrupt encoding.
class ArchiveError : public std::runtime_error
{
public:
	using std::runtime_error::runtime_error;
};

// One typed value of a keyed archive, a plain value that owns its nested values: an integer, a
// double, a boolean, a text, raw bytes, a date, a record (a class name and named fields), an array,
// or a dictionary (text keys to values). Keys of records and dictionaries keep their insertion order.
class ArchiveValue
{
public:
	enum class Kind : std::uint8_t
	{
		Int = 1,
		Double,
		Bool,
		String,
		Bytes,
		Date,
		Record,
		Array,
		Dictionary,
	};

	// The integer 0.
	ArchiveValue() = default;

	static ArchiveValue integer(std::int64_t value);
	static ArchiveValue real(double value);
	static ArchiveValue boolean(bool value);
	static ArchiveValue string(const std::string& value);
	static ArchiveValue bytes(const std::string& value);
	// Seconds since 1 January 1970.
	static ArchiveValue date(double seconds);
	static ArchiveValue record(const std::string& className);
	static ArchiveValue array();
	static ArchiveValue dictionary();

	Kind kind() const { return m_kind; }

	// The typed reads throw ArchiveError for another kind.
	std::int64_t asInt() const;
	double asDouble() const;
	bool asBool() const;
	const std::string& asString() const;
	const std::string& asBytes() const;
	double asDate() const;
	const std::string& className() const;

	// Records and dictionaries: set replaces a key's value or appends the key; get throws
	// ArchiveError for a missing key.
	void set(const std::string& key, const ArchiveValue& value);
	bool has(const std::string& key) const;
	const ArchiveValue& get(const std::string& key) const;
	const std::vector<std::string>& keys() const;

	// Arrays, and the values of records and dictionaries in key order.
	void append(const ArchiveValue& value);
	const std::vector<ArchiveValue>& items() const;

	bool operator==(const ArchiveValue& other) const;
	bool operator!=(const ArchiveValue& other) const { return !(*this == other); }

private:
	explicit ArchiveValue(Kind kind) : m_kind(kind) {}
	void expect(Kind kind) const;
	void expectKeyed() const;

	Kind m_kind = Kind::Int;
	std::int64_t m_int = 0;
	double m_real = 0;
	// The text of strings and bytes, the class name of records.
	std::string m_text;
	std::vector<std::string> m_keys;
	std::vector<ArchiveValue> m_items;
};

} // platform

#endif

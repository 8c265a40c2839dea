#ifndef PLATFORM_ARCHIVEVALUE_H
#define PLATFORM_ARCHIVEVALUE_H

#include <cstddef>
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
// or a dictionary (text keys to values). Keys of records and dictionaries keep their insertion
// order and are found by a hash of them. A number, boolean or date takes the value's 16 bytes
// alone; texts and the elements of records, arrays and dictionaries are held on the heap.
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
	ArchiveValue(const ArchiveValue& other);
	// Leaves the integer 0 behind.
	ArchiveValue(ArchiveValue&& other) noexcept;
	// Copies or moves, as the argument was made.
	ArchiveValue& operator=(ArchiveValue other) noexcept;
	~ArchiveValue();

	static ArchiveValue integer(std::int64_t value);
	static ArchiveValue real(double value);
	static ArchiveValue boolean(bool value);
	static ArchiveValue string(std::string value);
	static ArchiveValue bytes(std::string value);
	// Seconds since 1 January 1970.
	static ArchiveValue date(double seconds);
	static ArchiveValue record(std::string className);
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
	void set(std::string key, ArchiveValue value);
	bool has(const std::string& key) const;
	const ArchiveValue& get(const std::string& key) const;
	const std::vector<std::string>& keys() const;

	// Arrays, and the values of records and dictionaries in key order.
	void append(ArchiveValue value);
	const std::vector<ArchiveValue>& items() const;

	bool operator==(const ArchiveValue& other) const;
	bool operator!=(const ArchiveValue& other) const { return !(*this == other); }

private:
	struct Elements;

	// An empty text, record, array or dictionary, or the scalar kinds' 0.
	explicit ArchiveValue(Kind kind);
	bool holdsText() const;
	bool holdsElements() const;
	void expect(Kind kind) const;
	void expectKeyed() const;
	// The position of the key among the keys, or the number of keys when it is not there.
	std::size_t find(const std::string& key) const;

	Kind m_kind = Kind::Int;
	// The member in use follows the kind; the value owns what the pointers point to.
	union Held
	{
		// Int and Bool: the value; Double and Date: the bits of the double.
		std::uint64_t scalar;
		// String and Bytes.
		std::string* text;
		// Record, Array and Dictionary.
		Elements* elements;
	} m_held{0};
};

} // platform

#endif

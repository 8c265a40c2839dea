#ifndef IO_PROPERTYPARSER_H
#define IO_PROPERTYPARSER_H

#include <lang/Array.h>
#include <lang/Object.h>
#include <lang/String.h>

namespace io {

// Parses a property set ("key = value" pairs separated by new lines or ';', "--" comments) into
// a sorted table with typed lookups. Reference counted or a local; lookups write a scratch
// buffer, so one parser belongs to one thread at a time.
class PropertyParser : public lang::Object
{
public:
	// A key (stored lower-case) and its value.
	struct Pair
	{
		lang::String key;
		lang::String value;
	};

	// Parses text at once; name is used only in messages. Throws io::IOException on a key
	// without "=".
	PropertyParser(const lang::String& text, const lang::String& name);

	// Replaces the text, the name and all pairs by those of another set.
	void reset(const lang::String& text, const lang::String& name);

	// Copies the value and a terminator into value; false (value untouched) when key is absent.
	// Keys are compared byte for byte: pass them lower-case.
	bool get(const char* key, lang::Array<char>& value) const;
	bool hasKey(const char* key) const;
	// The value, or null when the key is absent; valid until the next lookup on this parser.
	const char* getString(const char* key) const;
	// "enabled", "true", "1", "yes" and "disabled", "false", "0", "no", in any letter case.
	bool getBoolean(const char* key) const;
	// The value must begin with a decimal number with digits; text behind the number is ignored.
	// getInt also needs a whole number within the 32-bit range.
	int getInt(const char* key) const;
	float getFloat(const char* key) const;

	// The comment-free text that line numbers in messages refer to.
	const lang::String& text() const { return m_text; }
	const lang::String& name() const { return m_name; }
	// Every pair, sorted by key; equal keys in the order they were read.
	const lang::Array<Pair>& pairs() const { return m_pairs; }

private:
	lang::String m_text;
	int m_length;
	lang::String m_name;
	mutable lang::Array<char> m_buffer;
	lang::Array<Pair> m_pairs;

	// Steps over what lies between pairs, counting new lines. Comments were dropped when the text
	// was copied, so only white space is left to skip. False at the end of the set (its end or a
	// zero byte).
	bool skipComments(int& pos, int& line) const;
	void parsePair(int& pos, int& line, lang::Array<char>& buffer) const;
	// A key or a value stops before any new line, so these two leave line as it is.
	void parseKey(int& pos, int& line, lang::Array<char>& buffer) const;
	void parseValue(int& pos, int& line, lang::Array<char>& buffer) const;
	void skipWhitespace(int& pos, int& line) const;
	// Reads the value of key as a number; throws the messages of getInt and getFloat.
	double getNumber(const char* key, const char* kind) const;
};

} // io

#endif

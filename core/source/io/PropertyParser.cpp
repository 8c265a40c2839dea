#include <io/PropertyParser.h>
#include <io/IOException.h>
#include <lang/Character.h>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace io {

namespace {
char toLower(char c)
{
	return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isWhitespace(char c)
{
	return lang::Character::isWhitespace(static_cast<unsigned char>(c));
}

bool skipDigits(const char*& text)
{
	const char* start = text;
	while (lang::Character::isDigit(static_cast<unsigned char>(*text)))
		++text;
	return text != start;
}

// True when text begins with a decimal number: blanks, a sign, digits with an optional fraction
// (at least one digit in all) and, after an exponent marker, digits. What follows the number is
// ignored, as the scanner ignores it; a number without digits would otherwise read as 0.
bool startsWithNumber(const char* text)
{
	while (isWhitespace(*text))
		++text;
	if (*text == '+' || *text == '-')
		++text;
	bool digits = skipDigits(text);
	if (*text == '.')
	{
		++text;
		digits = skipDigits(text) || digits;
	}
	if (!digits)
		return false;
	if (*text == 'e' || *text == 'E' || *text == 'd' || *text == 'D')
	{
		++text;
		if (*text == '+' || *text == '-')
			++text;
		return skipDigits(text);
	}
	return true;
}

bool keyLess(const PropertyParser::Pair& a, const PropertyParser::Pair& b)
{
	return a.key < b.key;
}

// The text with "--" comments removed, each with the new line that ends it and the blanks after.
lang::String withoutComments(const lang::String& text)
{
	lang::String result;
	const char* c = text.c_str();
	const char* end = c + std::strlen(c);
	const char* copied = c;
	while (c < end)
	{
		if (c[0] == '-' && c + 1 < end && c[1] == '-')
		{
			result.append(lang::String(copied, static_cast<int>(c - copied)));
			const char* newline = static_cast<const char*>(std::memchr(c, '\n', end - c));
			c = newline ? newline : end;
			while (c < end && isWhitespace(*c))
				++c;
			copied = c;
		}
		else
		{
			++c;
		}
	}
	result.append(lang::String(copied, static_cast<int>(end - copied)));
	return result;
}
}

PropertyParser::PropertyParser(const lang::String& text, const lang::String& name) :
	m_length(0)
{
	reset(text, name);
}

void PropertyParser::reset(const lang::String& text, const lang::String& name)
{
	m_text = withoutComments(text);
	m_length = m_text.length();
	m_name = name;
	m_buffer.clear();
	m_pairs.clear();

	// Pairs read before a parse error stay, sorted, so the parser answers consistently.
	try
	{
		int pos = 0;
		int line = 1;
		while (skipComments(pos, line))
		{
			parsePair(pos, line, m_buffer);
			Pair pair;
			pair.key = m_buffer.begin();
			pair.value = m_buffer.begin() + pair.key.length() + 1;
			m_pairs.add(pair);
		}
	}
	catch (...)
	{
		std::stable_sort(m_pairs.begin(), m_pairs.end(), keyLess);
		throw;
	}
	std::stable_sort(m_pairs.begin(), m_pairs.end(), keyLess);
}

void PropertyParser::skipWhitespace(int& pos, int& line) const
{
	const char* text = m_text.c_str();
	while (pos < m_length && isWhitespace(text[pos]))
	{
		if (text[pos] == '\n')
			++line;
		++pos;
	}
}

bool PropertyParser::skipComments(int& pos, int& line) const
{
	skipWhitespace(pos, line);
	return pos < m_length && m_text[pos] != 0;
}

void PropertyParser::parsePair(int& pos, int& line, lang::Array<char>& buffer) const
{
	buffer.clear();
	skipWhitespace(pos, line);
	parseKey(pos, line, buffer);
	skipWhitespace(pos, line);
	if (pos >= m_length || m_text[pos] != '=')
		lang::throwError(IOException(lang::Format("Missing \"{0}=<value>\" on line {1} of property set \"{2}\":\n{3}",
			buffer.begin(), line, m_name, m_text)));
	++pos;
	skipWhitespace(pos, line);
	parseValue(pos, line, buffer);
}

void PropertyParser::parseKey(int& pos, int& line, lang::Array<char>& buffer) const
{
	const char* text = m_text.c_str();
	while (pos < m_length && text[pos] != '=' && text[pos] != 0 && !isWhitespace(text[pos]))
		buffer.add(toLower(text[pos++]));
	buffer.add(0);
}

void PropertyParser::parseValue(int& pos, int& line, lang::Array<char>& buffer) const
{
	const char* text = m_text.c_str();
	const int start = buffer.size();
	while (pos < m_length && text[pos] != '\n' && text[pos] != ';' && text[pos] != 0)
		buffer.add(text[pos++]);
	while (buffer.size() > start && isWhitespace(buffer.last()))
		buffer.resize(buffer.size() - 1);
	buffer.add(0);
	if (pos < m_length && text[pos] == ';')
		++pos;
}

bool PropertyParser::get(const char* key, lang::Array<char>& value) const
{
	// The last definition of a key wins: the sort kept the input order of equal keys.
	Pair probe;
	probe.key = key;
	const Pair* found = std::upper_bound(m_pairs.begin(), m_pairs.end(), probe, keyLess);
	if (found == m_pairs.begin() || (found - 1)->key != probe.key)
		return false;
	const lang::String& text = (found - 1)->value;
	value.resize(text.length() + 1);
	std::memcpy(value.begin(), text.c_str(), text.length() + 1);
	return true;
}

bool PropertyParser::hasKey(const char* key) const
{
	return get(key, m_buffer);
}

const char* PropertyParser::getString(const char* key) const
{
	return get(key, m_buffer) ? m_buffer.begin() : nullptr;
}

bool PropertyParser::getBoolean(const char* key) const
{
	if (!get(key, m_buffer))
		lang::throwError(IOException(lang::Format("Failed to parse boolean, no key {0} in \"{1}\"", key, m_name)));
	for (char& c : m_buffer)
		c = toLower(c);
	const char* value = m_buffer.begin();
	for (const char* yes : {"enabled", "true", "1", "yes"})
		if (std::strcmp(value, yes) == 0)
			return true;
	for (const char* no : {"disabled", "false", "0", "no"})
		if (std::strcmp(value, no) == 0)
			return false;
	lang::throwError(IOException(lang::Format("Failed to parse boolean {0} from \"{1}\"", key, m_name)));
}

double PropertyParser::getNumber(const char* key, const char* kind) const
{
	if (!get(key, m_buffer))
		lang::throwError(IOException(lang::Format("Failed to parse number, no key {0} in \"{1}\"", key, m_name)));
	int error = 0;
	const double value = lang::String::scanDouble(m_buffer.begin(), nullptr, &error);
	if (error != 0 || !startsWithNumber(m_buffer.begin()))
		lang::throwError(IOException(lang::Format(lang::String("Failed to parse ") + kind + " {0} from \"{1}\"", key, m_name)));
	return value;
}

int PropertyParser::getInt(const char* key) const
{
	const double value = getNumber(key, "integer");
	// Checked before converting: a value outside the int range has no int to compare with.
	if (!(value >= INT_MIN && value <= INT_MAX) || value != std::trunc(value))
		lang::throwError(IOException(lang::Format("Failed to parse integer {0} from \"{1}\" (number is not integer)", key, m_name)));
	return static_cast<int>(value);
}

float PropertyParser::getFloat(const char* key) const
{
	return static_cast<float>(getNumber(key, "number"));
}

} // io

#ifndef LANG_STRING_H
#define LANG_STRING_H

#include <cstring>

namespace lang {

class Converter;

// A mutable UTF-8 byte string held by value; it owns its heap block (if any) and frees it on
// destruction. Texts of up to 15 bytes live inside the object; capacity never shrinks.
class String
{
public:
	// Count that takes every byte up to the end of the source.
	static constexpr unsigned int ALL = ~0u;
	// Bytes that fit in the object's own storage (the terminator not counted).
	static constexpr int INLINE_CAPACITY = 15;

	String() : m_length(0), m_capacity(INLINE_CAPACITY) { m_storage.text[0] = 0; }
	String(const char* text) : String() { assign(text, static_cast<unsigned int>(std::strlen(text))); }
	String(const char* text, int size) : String() { assign(text, static_cast<unsigned int>(size)); }
	String(const String& other) : String() { assign(other, 0, ALL); }
	String(String&& other) noexcept;
	// Decodes size bytes of data in the decoder's encoding; undecodable bytes are skipped.
	String(const void* data, int size, const Converter& decoder);
	~String() { if (isHeap()) delete[] m_storage.heap; }

	String& operator=(const String& other) { return assign(other, 0, ALL); }
	String& operator=(String&& other) noexcept;
	String& operator=(const char* text) { return assign(text, static_cast<unsigned int>(std::strlen(text))); }

	// Zero-terminated UTF-16 text in host byte order.
	static String fromUTF16(const short* text);

	// Replaces the text with the source's bytes [position, position + count), count clipped to the end.
	String& assign(const String& source, int position, unsigned int count);
	String& assign(const String& source) { return assign(source, 0, ALL); }
	// Replaces the text with the first n bytes of text (which may point into this string).
	String& assign(const char* text, unsigned int n);
	// Appends the source's bytes [position, position + count), count clipped; the source may be this string.
	String& append(const String& source, int position = 0, unsigned int count = ALL);
	String& append(const char* text) { return append(String(text)); }
	String& append(char c);

	String& operator+=(const String& other) { return append(other); }
	String& operator+=(const char* text) { return append(text); }
	String& operator+=(char c) { return append(c); }

	// Copies the bytes [begin, end) to dest; writes no terminator.
	void getChars(int begin, int end, char* dest) const;
	// Copies at most size - 1 bytes and a terminator into buffer.
	void get(char* buffer, int size) const;
	// Encodes into at most size bytes (no terminator); returns the bytes the whole text needs.
	int getBytes(void* buffer, int size, const Converter& encoder) const;
	// Host-order UTF-16 into at most size units including a zero unit; returns the units written.
	int getUTF16(short* buffer, int size) const;

	String replace(char from, char to) const;
	String toUpperCase() const;
	String toLowerCase() const;
	String substring(int begin, int end) const { return String().assign(*this, begin, static_cast<unsigned int>(end - begin)); }
	String substring(int begin) const { return String().assign(*this, begin, ALL); }

	int length() const { return m_length; }
	int capacity() const { return m_capacity; }
	bool isEmpty() const { return m_length == 0; }
	const char* c_str() const { return text(); }
	char charAt(int index) const { return text()[index]; }
	char operator[](int index) const { return text()[index]; }

	// Index of the first c at or after from, -1 if none.
	int indexOf(char c, int from = 0) const;
	// Index of the first occurrence of s at or after from, -1 if none.
	int indexOf(const String& s, int from = 0) const;
	// Index of the last c, -1 if none.
	int lastIndexOf(char c) const;
	bool startsWith(const String& prefix) const { return prefix.m_length <= m_length && std::memcmp(text(), prefix.text(), prefix.m_length) == 0; }
	bool endsWith(const String& suffix) const { return suffix.m_length <= m_length && std::memcmp(text() + m_length - suffix.m_length, suffix.text(), suffix.m_length) == 0; }

	bool operator==(const String& other) const { return m_length == other.m_length && std::memcmp(text(), other.text(), m_length) == 0; }
	bool operator!=(const String& other) const { return !(*this == other); }
	// Bytes compared as unsigned; a proper prefix sorts first.
	bool operator<(const String& other) const { return compareTo(other) < 0; }
	bool operator>(const String& other) const { return compareTo(other) > 0; }
	bool operator<=(const String& other) const { return compareTo(other) <= 0; }
	bool operator>=(const String& other) const { return compareTo(other) >= 0; }
	int compareTo(const String& other) const
	{
		const int common = m_length < other.m_length ? m_length : other.m_length;
		const int c = std::memcmp(text(), other.text(), common);
		if (c != 0)
			return c;
		return m_length < other.m_length ? -1 : (m_length > other.m_length ? 1 : 0);
	}

	// h = h * 31 + b over the bytes taken as signed, wrapping in 32 bits.
	int hashCode() const
	{
		unsigned int h = 0;
		const char* p = text();
		for (int i = 0; i < m_length; ++i)
			h = h * 31u + static_cast<unsigned int>(static_cast<int>(static_cast<signed char>(p[i])));
		return static_cast<int>(h);
	}

	// Skips white space, copies the next blank-separated token (at most size - 1 bytes) and a
	// terminator into buffer, and returns the copied length; *end receives the position after the token.
	static int scanString(const char* text, char* buffer, int size, const char** end);
	// Reads a decimal floating-point number; see the number scanners.
	static double scanDouble(const char* text, const char** end, int* error);

private:
	union Storage
	{
		char text[INLINE_CAPACITY + 1];
		char* heap;
	} m_storage;
	int m_length;
	int m_capacity;

	bool isHeap() const { return m_capacity > INLINE_CAPACITY; }
	char* text() { return isHeap() ? m_storage.heap : m_storage.text; }
	const char* text() const { return isHeap() ? m_storage.heap : m_storage.text; }
	// Makes room for n text bytes, growing to max(n, capacity * 1.5); keeps the text.
	void reserve(int n);
	void setLength(int n);
	// A copy with every byte below 128 passed through map.
	String mapAscii(int (*map)(int)) const;
};

inline String operator+(const String& a, const String& b)
{
	String s(a);
	s.append(b);
	return s;
}

} // lang

#endif

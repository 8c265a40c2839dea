#include <lang/String.h>
#include <lang/Character.h>
#include <lang/UTFConverter.h>
#include <cctype>
#include <utility>

namespace lang {

namespace {

// Room for one code point in any supported encoding.
constexpr int CODE_POINT_SCRATCH = 8;

// The count of bytes [position, position + count) clipped to the source length, compared unsigned
// so that ALL takes everything up to the end.
unsigned int clippedCount(int sourceLength, int position, unsigned int count)
{
	const unsigned int left = static_cast<unsigned int>(sourceLength - position);
	return left < count ? left : count;
}

// Re-encodes the code points decoder finds in [begin, end) with encoder, passing over bytes it
// cannot decode and code points encoder cannot hold. Writes what fits of the result into out
// (size bytes, no terminator) and returns the whole result's length in bytes.
int transcode(const Converter& decoder, const Converter& encoder, const char* begin, const char* end, char* out, int size)
{
	int count = 0;
	for (const char* p = begin; p < end;)
	{
		int used = 1;
		int codePoint = 0;
		if (!decoder.decode(p, end, &used, &codePoint))
		{
			++p;
			continue;
		}
		p += used;
		char scratch[CODE_POINT_SCRATCH];
		int written = 0;
		if (!encoder.encode(scratch, scratch + sizeof(scratch), &written, codePoint))
			continue;
		if (count < size)
		{
			const int fit = size - count < written ? size - count : written;
			std::memcpy(out + count, scratch, static_cast<size_t>(fit));
		}
		count += written;
	}
	return count;
}

} // namespace

String::String(String&& other) noexcept : String()
{
	*this = std::move(other);
}

String& String::operator=(String&& other) noexcept
{
	if (this == &other)
		return *this;
	if (!other.isHeap())
	{
		assign(other, 0, ALL);
		return *this;
	}
	if (isHeap())
		delete[] m_storage.heap;
	m_storage.heap = other.m_storage.heap;
	m_length = other.m_length;
	m_capacity = other.m_capacity;
	other.m_capacity = INLINE_CAPACITY;
	other.m_length = 0;
	other.m_storage.text[0] = 0;
	return *this;
}

String::String(const void* data, int size, const Converter& decoder) : String()
{
	const char* const begin = static_cast<const char*>(data);
	const char* const end = begin + (size > 0 ? size : 0);
	const UTFConverter utf8(UTFConverter::ENCODING_UTF8);
	const int total = transcode(decoder, utf8, begin, end, nullptr, 0);
	if (total <= 0)
		return;
	reserve(total);
	std::memset(text(), 0, static_cast<size_t>(total) + 1);
	transcode(decoder, utf8, begin, end, text(), total);
	setLength(total);
}

String String::fromUTF16(const short* text)
{
	int units = 0;
	while (text[units] != 0)
		++units;
	return String(text, units * 2, UTFConverter(UTFConverter::ENCODING_UTF16));
}

void String::reserve(int n)
{
	if (n <= m_capacity)
		return;
	const int grown = m_capacity + m_capacity / 2;
	const int capacity = n > grown ? n : grown;
	char* block = new char[static_cast<size_t>(capacity) + 1];
	if (m_length > 0)
		std::memcpy(block, text(), static_cast<size_t>(m_length));
	if (isHeap())
		delete[] m_storage.heap;
	m_storage.heap = block;
	m_capacity = capacity;
}

void String::setLength(int n)
{
	m_length = n;
	text()[n] = 0;
}

String& String::assign(const String& source, int position, unsigned int count)
{
	const unsigned int c = clippedCount(source.m_length, position, count);
	if (&source == this)
	{
		setLength(position + static_cast<int>(c));
		std::memmove(text(), text() + position, c + 1);
		m_length = static_cast<int>(c);
		return *this;
	}
	reserve(static_cast<int>(c));
	std::memcpy(text(), source.text() + position, c);
	setLength(static_cast<int>(c));
	return *this;
}

String& String::assign(const char* source, unsigned int n)
{
	const char* own = text();
	if (source != nullptr && source >= own && source < own + m_length)
		return assign(*this, static_cast<int>(source - own), n);
	reserve(static_cast<int>(n));
	if (n > 0)
		std::memcpy(text(), source, n);
	setLength(static_cast<int>(n));
	return *this;
}

String& String::append(const String& source, int position, unsigned int count)
{
	const unsigned int c = clippedCount(source.m_length, position, count);
	if (c == 0)
		return *this;
	const int length = m_length + static_cast<int>(c);
	reserve(length);
	// Read after the growth: the source may be this very string.
	std::memcpy(text() + m_length, source.text() + position, c);
	setLength(length);
	return *this;
}

String& String::append(char c)
{
	reserve(m_length + 1);
	text()[m_length] = c;
	setLength(m_length + 1);
	return *this;
}

void String::getChars(int begin, int end, char* dest) const
{
	if (end > begin)
		std::memcpy(dest, text() + begin, static_cast<size_t>(end - begin));
}

void String::get(char* buffer, int size) const
{
	if (size <= 0)
		return;
	const int k = m_length < size ? m_length : size - 1;
	std::memcpy(buffer, text(), static_cast<size_t>(k));
	buffer[k] = 0;
}

int String::getBytes(void* buffer, int size, const Converter& encoder) const
{
	return transcode(UTFConverter(UTFConverter::ENCODING_UTF8), encoder, text(), text() + m_length,
		static_cast<char*>(buffer), size);
}

int String::getUTF16(short* buffer, int size) const
{
	if (size <= 0)
		return 0;
	const int bytes = getBytes(buffer, size * 2, UTFConverter(UTFConverter::ENCODING_UTF16));
	int units = bytes / 2;
	if (units >= size)
		units = size - 1;
	buffer[units] = 0;
	return units;
}

String String::mapAscii(int (*map)(int)) const
{
	String result(*this);
	char* text = result.text();
	for (int i = 0; i < result.m_length; ++i)
	{
		const unsigned char b = static_cast<unsigned char>(text[i]);
		if (b < 128)
			text[i] = static_cast<char>(map(b));
	}
	return result;
}

String String::replace(char from, char to) const
{
	String result(*this);
	char* text = result.text();
	for (int i = 0; i < result.m_length; ++i)
	{
		if (text[i] == from)
			text[i] = to;
	}
	return result;
}

String String::toUpperCase() const
{
	return mapAscii([](int b) { return std::toupper(b); });
}

String String::toLowerCase() const
{
	return mapAscii([](int b) { return std::tolower(b); });
}

int String::indexOf(char c, int from) const
{
	const char* t = text();
	for (int i = from < 0 ? 0 : from; i < m_length; ++i)
	{
		if (t[i] == c)
			return i;
	}
	return -1;
}

int String::indexOf(const String& s, int from) const
{
	const char* t = text();
	for (int i = from < 0 ? 0 : from; i + s.m_length <= m_length; ++i)
	{
		if (std::memcmp(t + i, s.text(), static_cast<size_t>(s.m_length)) == 0)
			return i;
	}
	return -1;
}

int String::lastIndexOf(char c) const
{
	const char* t = text();
	for (int i = m_length - 1; i >= 0; --i)
	{
		if (t[i] == c)
			return i;
	}
	return -1;
}

int String::scanString(const char* text, char* buffer, int size, const char** end)
{
	while (*text != 0 && Character::isWhitespace(static_cast<unsigned char>(*text)))
		++text;
	const char* token = text;
	while (*text != 0 && !Character::isWhitespace(static_cast<unsigned char>(*text)))
		++text;
	const int length = static_cast<int>(text - token);
	int k = 0;
	if (size > 0)
	{
		k = length < size ? length : size - 1;
		std::memcpy(buffer, token, static_cast<size_t>(k));
		buffer[k] = 0;
	}
	if (end != nullptr)
		*end = text;
	return k;
}

} // lang

#include <lang/Format.h>
#include <lang/Character.h>
#include <lang/FormatException.h>
#include <lang/OutOfMemoryException.h>
#include <cstdlib>

namespace lang {

namespace {

// Stack buffer of the common case of format(); longer messages go to the heap (bytes).
constexpr int STACK_MESSAGE_SIZE = 512;

[[noreturn]] void malformed(const char* message, const String& format, int position)
{
	throwError(FormatException(Format(message, format, position)));
}

} // namespace

int Format::format(char* buffer, int size) const
{
	const char* const text = m_format.c_str();
	const int length = m_format.length();
	int count = 0;
	bool escaped = false;
	for (int i = 0; i < length; ++i)
	{
		const char b = text[i];
		if (b == '{' && !escaped && i + 1 < length)
		{
			const int k = i + 1;
			const int close = m_format.indexOf('}', k);
			if (close < 0)
				malformed("Failed to format \"{0}\", '}' not found after {1}", m_format, k);
			if (close == k)
				malformed("Failed to format \"{0}\", argument index not found at {1}", m_format, k);
			if (!Character::isDigit(static_cast<unsigned char>(text[k])))
				malformed("Failed to format \"{0}\", digit expected at {1}", m_format, k);
			const int index = text[k] - '0';
			if (index >= m_argumentCount)
				malformed("Failed to format \"{0}\", invalid argument index at {1}", m_format, k);
			const int spec = text[k + 1] == ',' ? k + 2 : k + 1;
			const int room = size > count ? size - count : 0;
			count += m_arguments[index].format(room > 0 ? buffer + count : nullptr, room, m_format, spec);
			i = close;
		}
		else if (b == '\\' && !escaped)
		{
			escaped = true;
		}
		else
		{
			if (count < size - 1)
				buffer[count] = b;
			++count;
			escaped = false;
		}
	}
	if (size > 0)
		buffer[count < size ? count : size - 1] = 0;
	return count + 1;
}

String Format::format() const
{
	char stackBuffer[STACK_MESSAGE_SIZE];
	const int needed = format(stackBuffer, STACK_MESSAGE_SIZE);
	if (needed < STACK_MESSAGE_SIZE)
		return String(stackBuffer, needed - 1);

	char* heapBuffer = static_cast<char*>(std::calloc(static_cast<size_t>(needed) + 2, 1));
	if (heapBuffer == nullptr)
		throw_OutOfMemoryException();
	format(heapBuffer, needed + 2);
	String text(heapBuffer, needed - 1);
	std::free(heapBuffer);
	return text;
}

} // lang

#include <io/PathName.h>
#include <io/IOException.h>
#include <cstring>

namespace io {

namespace {
bool isSeparator(char c)
{
	return c == '/' || c == '\\';
}

// Removes the bytes [begin, end) of text, zeroing the bytes freed at its end.
void removeSpan(char* text, int begin, int end)
{
	const int length = static_cast<int>(std::strlen(text));
	std::memmove(text + begin, text + end, length - end + 1);
	std::memset(text + length - (end - begin), 0, end - begin);
}
}

PathName::PathName()
{
	parse("", nullptr);
}

PathName::PathName(const lang::String& path)
{
	assignOne(path.c_str());
}

PathName::PathName(const lang::String& directory, const lang::String& name)
{
	const int directoryLength = static_cast<int>(std::strlen(directory.c_str()));
	const int nameLength = static_cast<int>(std::strlen(name.c_str()));
	if (directoryLength > MAX_PATH_LENGTH || nameLength > MAX_JOINED_LENGTH - 2 - directoryLength)
		lang::throwError(IOException(lang::Format("Too long path name: \"{0}\" and \"{1}\"", directory, name)));
	parse(directory.c_str(), name.c_str());
}

PathName::PathName(const PathName& other)
{
	copyFrom(other);
}

PathName& PathName::operator=(const PathName& other)
{
	if (this != &other)
		copyFrom(other);
	return *this;
}

void PathName::copyFrom(const PathName& other)
{
	std::memcpy(m_store, other.m_store, other.m_used);
	m_used = other.m_used;
	m_path = m_store + (other.m_path - other.m_store);
	m_drive = m_store + (other.m_drive - other.m_store);
	m_directory = m_store + (other.m_directory - other.m_store);
	m_basename = m_store + (other.m_basename - other.m_store);
	m_extension = m_store + (other.m_extension - other.m_store);
}

void PathName::assignOne(const char* path)
{
	if (std::strlen(path) > static_cast<size_t>(MAX_PATH_LENGTH))
		lang::throwError(IOException(lang::Format("Too long path name: \"{0}\"", path)));
	parse(path, nullptr);
}

char* PathName::allocate(int n)
{
	if (m_used + n > STORE_SIZE)
		lang::throwError(IOException(lang::Format("Path name buffer overflow, {0} bytes. Initial path name was \"{1}\".",
			m_used + n, m_path)));
	char* block = m_store + m_used;
	std::memset(block, 0, n);
	m_used += n;
	return block;
}

const char* PathName::allocateCopy(const char* text, int n)
{
	char* copy = allocate(n + 1);
	std::memcpy(copy, text, n);
	return copy;
}

void PathName::parse(const char* first, const char* second)
{
	m_used = 0;
	m_path = allocate(1);
	m_drive = m_directory = m_basename = m_extension = m_path;

	const int firstLength = static_cast<int>(std::strlen(first));
	if (second && firstLength > 0 && isSeparator(second[0]))
		++second;

	char* text;
	if (second)
	{
		const int secondLength = static_cast<int>(std::strlen(second));
		text = allocate(firstLength + secondLength + 2);
		std::memcpy(text, first, firstLength);
		int length = firstLength;
		if (firstLength > 0 && !isSeparator(first[firstLength - 1]))
			text[length++] = '/';
		std::memcpy(text + length, second, secondLength);
	}
	else
	{
		text = allocate(firstLength + 2);
		std::memcpy(text, first, firstLength);
	}
	for (char* c = text; *c; ++c)
		if (*c == '\\')
			*c = '/';
	m_path = text;
	fold(text);
	split();
}

void PathName::fold(char* text)
{
	int q = 0;
	while (text[q] != 0 && text[q + 1] != 0)
	{
		if (text[q] == '.' && text[q + 1] == '.' && text[q + 2] != 0)
		{
			// A leading ".." cannot be folded, and nothing behind it is either.
			if (q == 0)
				return;
			// The removal takes the component before the pair along with the pair and its '/'.
			int begin = 0;
			int slashes = 0;
			for (int i = q - 1; i >= 0; --i)
			{
				if (text[i] == '/' && ++slashes == 2)
				{
					begin = i + 1;
					break;
				}
			}
			removeSpan(text, begin, q + 3);
			q = begin;
		}
		else if (text[q] == '.' && text[q + 1] == '/')
		{
			int begin = 0;
			for (int i = q - 1; i >= 0; --i)
			{
				if (text[i] == '/')
				{
					begin = i + 1;
					break;
				}
			}
			removeSpan(text, begin, q + 2);
			q = begin;
		}
		else
		{
			++q;
		}
	}
}

void PathName::split()
{
	const char* rest = m_path;
	if (const char* colon = std::strchr(rest, ':'))
	{
		m_drive = allocateCopy(rest, static_cast<int>(colon - rest + 1));
		rest = colon + 1;
	}
	if (const char* slash = std::strrchr(rest, '/'))
	{
		m_directory = allocateCopy(rest, static_cast<int>(slash - rest + 1));
		rest = slash + 1;
	}
	if (*rest == 0)
		return;
	if (const char* dot = std::strrchr(rest, '.'))
	{
		m_basename = allocateCopy(rest, static_cast<int>(dot - rest));
		m_extension = allocateCopy(dot, static_cast<int>(std::strlen(dot)));
	}
	else
	{
		m_basename = allocateCopy(rest, static_cast<int>(std::strlen(rest)));
	}
}

lang::String PathName::filename() const
{
	lang::String name(m_basename);
	name.append(m_extension);
	return name;
}

PathName PathName::parent() const
{
	char copy[STORE_SIZE];
	std::strcpy(copy, m_path);
	int length = static_cast<int>(std::strlen(copy));
	if (length > 0 && copy[length - 1] == '/')
		copy[--length] = 0;
	char* slash = std::strrchr(copy, '/');
	if (slash)
		*slash = 0;
	else
		copy[0] = 0;
	PathName result;
	result.assignOne(copy);
	return result;
}

} // io

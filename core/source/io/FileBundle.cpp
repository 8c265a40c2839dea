#include <io/FileBundle.h>
#include <io/DataCorruptedException.h>
#include <io/FileInputStream.h>
#include <io/PathName.h>
#include <lang/Array.h>
#include <lang/Exception.h>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace io {

namespace {
// Tokens of one index record: bundle file, member name, offset, size.
constexpr int FIELDS_PER_RECORD = 4;

[[noreturn]] void throwCorrupted()
{
	lang::throwError(DataCorruptedException(lang::Format("FileBundle corrupted")));
}

bool isDelimiter(char c)
{
	return c == ',' || c == '\n';
}

// Splits an index text at runs of commas and line feeds; empty fields produce no token. The text
// ends at its first zero byte.
class IndexTokenizer
{
public:
	explicit IndexTokenizer(const char* text) : m_cursor(text) {}

	// False when no token is left.
	bool next(lang::String& token)
	{
		while (*m_cursor && isDelimiter(*m_cursor))
			++m_cursor;
		if (!*m_cursor)
			return false;
		const char* start = m_cursor;
		while (*m_cursor && !isDelimiter(*m_cursor))
			++m_cursor;
		token.assign(start, static_cast<unsigned int>(m_cursor - start));
		return true;
	}

private:
	const char* m_cursor;
};

// A decimal count: leading blanks and a sign allowed, reading stops at the first non-digit (so a
// trailing carriage return is harmless) and a token without digits counts 0.
int parseCount(const lang::String& token)
{
	errno = 0;
	const long long value = std::strtoll(token.c_str(), nullptr, 10);
	if (errno == ERANGE || value < 0 || value > INT_MAX)
		throwCorrupted();
	return static_cast<int>(value);
}
}

FileBundle::FileBundle() = default;

FileBundle::~FileBundle() = default;

void FileBundle::parseIndex(const lang::String& indexName, const lang::String& baseDirectory)
{
	FileInputStream index(indexName);
	parseIndex(index, baseDirectory);
}

void FileBundle::parseIndex(InputStream& index, const lang::String& baseDirectory)
{
	const int size = index.available();
	lang::Array<char> text;
	text.resize(size + 1, 0);
	index.read(text.begin(), size);

	IndexTokenizer tokens(text.begin());
	lang::String fields[FIELDS_PER_RECORD];
	if (!tokens.next(fields[0]))
		throwCorrupted();
	do
	{
		for (int i = 1; i < FIELDS_PER_RECORD; ++i)
			if (!tokens.next(fields[i]))
				throwCorrupted();
		const lang::String bundle = PathName(baseDirectory, fields[0]).toString();
		const lang::String name = PathName(baseDirectory, fields[1]).toString();
		addFile(name, bundle, parseCount(fields[2]), parseCount(fields[3]));
	} while (tokens.next(fields[0]));
}

void FileBundle::addFile(const lang::String& name, const lang::String& bundle, int offset, int size)
{
	if (offset < 0 || size < 0)
		throwCorrupted();
	FileDescriptor& descriptor = m_files[name];
	descriptor.bundle = bundle;
	descriptor.offset = offset;
	descriptor.size = size;
}

bool FileBundle::containsFile(const lang::String& name) const
{
	return m_files.find(name) != nullptr;
}

const FileDescriptor& FileBundle::descriptor(const lang::String& name) const
{
	const FileDescriptor* found = m_files.find(name);
	if (!found)
		lang::throwError(lang::Exception(lang::Format("File not found in bundle")));
	return *found;
}

const lang::String& FileBundle::getBundle(const lang::String& name) const
{
	return descriptor(name).bundle;
}

int FileBundle::getOffset(const lang::String& name) const
{
	return descriptor(name).offset;
}

int FileBundle::getSize(const lang::String& name) const
{
	return descriptor(name).size;
}

int FileBundle::fileCount() const
{
	return m_files.size();
}

} // io

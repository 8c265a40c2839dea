#include <io/FileBundle.h>
#include <io/DataCorruptedException.h>
#include <io/FileInputStream.h>
#include <io/PathName.h>
#include <lang/Array.h>
#include <lang/Exception.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <initializer_list>

namespace io {

namespace {
// Tokens of one index record: bundle file, member name, offset, size.
constexpr int FIELDS_PER_RECORD = 4;
constexpr int OFFSET_FIELD = 2;
constexpr int SIZE_FIELD = 3;

[[noreturn]] void throwCorrupted(const lang::Format& fault)
{
	lang::throwError(DataCorruptedException(lang::Format("FileBundle corrupted: {0}", fault.format())));
}

// Names the index and where in it the record lies, so that the one bad record of a long index
// can be found.
[[noreturn]] void throwCorruptedRecord(const lang::String& index, int record, int line, const lang::Format& fault)
{
	throwCorrupted(lang::Format("{0}, record {1} at line {2}: {3}", index, record, line, fault.format()));
}

bool isDelimiter(char c)
{
	return c == ',' || c == '\n';
}

// Splits an index text at runs of commas and line feeds; empty fields produce no token. The text
// ends at its first zero byte. Counts lines from 1 as it goes.
class IndexTokenizer
{
public:
	explicit IndexTokenizer(const char* text) : m_cursor(text), m_line(1), m_tokenLine(1) {}

	// False when no token is left.
	bool next(lang::String& token)
	{
		while (*m_cursor && isDelimiter(*m_cursor))
			m_line += *m_cursor++ == '\n';
		if (!*m_cursor)
			return false;
		m_tokenLine = m_line;
		const char* start = m_cursor;
		while (*m_cursor && !isDelimiter(*m_cursor))
			++m_cursor;
		token.assign(start, static_cast<unsigned int>(m_cursor - start));
		return true;
	}

	// The line on which the last token taken begins.
	int tokenLine() const { return m_tokenLine; }

private:
	const char* m_cursor;
	int m_line;
	int m_tokenLine;
};

// A decimal count: leading blanks and a sign allowed, reading stops at the first non-digit (so a
// trailing carriage return is harmless) and a token without digits counts 0. False for a count
// below 0 or beyond the int range.
bool parseCount(const lang::String& token, int& count)
{
	errno = 0;
	const long long value = std::strtoll(token.c_str(), nullptr, 10);
	if (errno == ERANGE || value < 0 || value > INT_MAX)
		return false;
	count = static_cast<int>(value);
	return true;
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

	const lang::String indexName = index.toString();
	IndexTokenizer tokens(text.begin());
	lang::String fields[FIELDS_PER_RECORD];
	if (!tokens.next(fields[0]))
		throwCorrupted(lang::Format("{0} holds no record", indexName));
	int record = 1;
	do
	{
		const int line = tokens.tokenLine();
		for (int i = 1; i < FIELDS_PER_RECORD; ++i)
			if (!tokens.next(fields[i]))
				throwCorruptedRecord(indexName, record, line,
					lang::Format("it ends after {0} of its {1} fields", i, FIELDS_PER_RECORD));
		int counts[FIELDS_PER_RECORD] = {};
		for (int i : {OFFSET_FIELD, SIZE_FIELD})
			if (!parseCount(fields[i], counts[i]))
				throwCorruptedRecord(indexName, record, line, lang::Format("the {0} \"{1}\" of {2} is no byte count from 0 to {3}",
					i == OFFSET_FIELD ? "offset" : "size", fields[i], fields[1], INT_MAX));
		const lang::String bundle = PathName(baseDirectory, fields[0]).toString();
		const lang::String name = PathName(baseDirectory, fields[1]).toString();
		addFile(name, bundle, counts[OFFSET_FIELD], counts[SIZE_FIELD]);
		++record;
	} while (tokens.next(fields[0]));
}

void FileBundle::addFile(const lang::String& name, const lang::String& bundle, int offset, int size)
{
	if (offset < 0 || size < 0)
		throwCorrupted(lang::Format("{0} has the offset {1} and the size {2}; neither may be negative", name, offset, size));
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

#include <io/FileInputStream.h>
#include <io/FileBundle.h>
#include <io/FileNotFoundException.h>
#include "../SeekTarget.h"
#include <climits>
#include <sys/stat.h>

namespace io {

namespace {
// Longest name shown whole in "Failed to open"; longer ones keep their last bytes after "... ".
constexpr int MAX_SHOWN_NAME_LENGTH = 128;
constexpr int SHOWN_NAME_TAIL_LENGTH = 124;

lang::String shownName(const lang::String& name)
{
	if (name.length() <= MAX_SHOWN_NAME_LENGTH)
		return name;
	return lang::String("... ") + name.substring(name.length() - SHOWN_NAME_TAIL_LENGTH);
}
}

FileBundle* FileInputStream::sm_fileBundle = nullptr;

FileInputStream::FileInputStream(const lang::String& name) :
	FileInputStream(name, sm_fileBundle)
{
}

FileInputStream::FileInputStream(const lang::String& name, const FileBundle* bundle) :
	m_file(nullptr),
	m_name(name),
	m_offset(0),
	m_size(0),
	m_remaining(0)
{
	if (bundle && bundle->containsFile(name))
	{
		open(bundle->getBundle(name));
		m_offset = bundle->getOffset(name);
		m_size = bundle->getSize(name);
		if (m_offset > 0 && fseeko(m_file, m_offset, SEEK_SET) != 0)
		{
			fclose(m_file);
			lang::throwError(IOException(lang::Format("Failed to seek {0}", m_name)));
		}
	}
	else
	{
		open(name);
		const bool measured = fseeko(m_file, 0, SEEK_END) == 0;
		const off_t length = measured ? ftello(m_file) : -1;
		if (length < 0 || fseeko(m_file, 0, SEEK_SET) != 0)
		{
			fclose(m_file);
			lang::throwError(IOException(lang::Format("Failed to seek {0}", m_name)));
		}
		m_size = length > INT_MAX ? INT_MAX : static_cast<int>(length);
	}
	m_remaining = m_size;
}

FileInputStream::~FileInputStream()
{
	fclose(m_file);
}

void FileInputStream::open(const lang::String& path)
{
	m_file = fopen(path.c_str(), "rb");
	struct stat status;
	if (m_file && fstat(fileno(m_file), &status) == 0 && S_ISDIR(status.st_mode))
	{
		fclose(m_file);
		m_file = nullptr;
	}
	if (!m_file)
		lang::throwError(FileNotFoundException(lang::Format("Failed to open {0}", shownName(m_name))));
}

int FileInputStream::read(void* data, int size)
{
	const int wanted = size < m_remaining ? size : m_remaining;
	if (wanted <= 0)
		return 0;
	const int got = static_cast<int>(fread(data, 1, wanted, m_file));
	if (got < wanted && ferror(m_file))
	{
		clearerr(m_file);
		lang::throwError(IOException(lang::Format("Failed to read {1} bytes from {0}", toString(), wanted)));
	}
	m_remaining -= got;
	return got;
}

int FileInputStream::skip(int n)
{
	const int count = n < m_remaining ? n : m_remaining;
	if (count <= 0)
		return 0;
	if (fseeko(m_file, count, SEEK_CUR) != 0)
		lang::throwError(IOException(lang::Format("Failed to skip {1} bytes from {0}", toString(), count)));
	m_remaining -= count;
	return count;
}

bool FileInputStream::seek(int offset, SeekMode mode)
{
	const int target = seekTarget(offset, mode, m_size - m_remaining, m_size);
	if (target < 0 || fseeko(m_file, m_offset + target, SEEK_SET) != 0)
		return false;
	m_remaining = m_size - target;
	return true;
}

int FileInputStream::available() const
{
	return m_remaining;
}

lang::String FileInputStream::toString() const
{
	return m_name;
}

} // io

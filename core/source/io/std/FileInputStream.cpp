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

// Byte counts past the int range are reported as INT_MAX.
int clampedLength(long long bytes)
{
	return bytes > INT_MAX ? INT_MAX : static_cast<int>(bytes);
}

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
	m_remaining(-1)
{
	if (bundle && bundle->containsFile(name))
	{
		const lang::String& bundleName = bundle->getBundle(name);
		open(bundleName);
		m_offset = bundle->getOffset(name);
		m_size = bundle->getSize(name);
		m_remaining = m_size;
		// Readers size their buffers by available(): an entry the bundle file cannot hold is
		// refused here, before any of them takes memory for it.
		struct stat status;
		if (fstat(fileno(m_file), &status) != 0 || static_cast<long long>(m_offset) + m_size > status.st_size)
		{
			fclose(m_file);
			lang::throwError(IOException(lang::Format("Failed to open {0}: its {1} bytes at {2} run past the end of {3}",
				m_name, m_size, m_offset, bundleName)));
		}
		if (m_offset > 0 && fseeko(m_file, m_offset, SEEK_SET) != 0)
		{
			fclose(m_file);
			lang::throwError(IOException(lang::Format("Failed to seek {0}", m_name)));
		}
	}
	else
	{
		open(name);
	}
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
	const int wanted = m_remaining >= 0 && m_remaining < size ? m_remaining : size;
	if (wanted <= 0)
		return 0;
	const int got = static_cast<int>(fread(data, 1, wanted, m_file));
	if (got < wanted && ferror(m_file))
	{
		clearerr(m_file);
		lang::throwError(IOException(lang::Format("Failed to read {1} bytes from {0}", toString(), wanted)));
	}
	// A loose file may grow: the next read tries again from here.
	clearerr(m_file);
	if (m_remaining > 0)
		m_remaining -= got;
	return got;
}

int FileInputStream::skip(int n)
{
	const int left = available();
	const int count = n < left ? n : left;
	if (count <= 0)
		return 0;
	if (fseeko(m_file, count, SEEK_CUR) != 0)
		lang::throwError(IOException(lang::Format("Failed to skip {1} bytes from {0}", toString(), count)));
	if (m_remaining > 0)
		m_remaining -= count;
	return count;
}

bool FileInputStream::seek(int offset, SeekMode mode)
{
	if (m_remaining < 0)
	{
		const int left = available();
		const off_t position = ftello(m_file);
		const int target = seekTarget(offset, mode, clampedLength(position), clampedLength(position + left));
		return target >= 0 && fseeko(m_file, target, SEEK_SET) == 0;
	}
	const int target = seekTarget(offset, mode, m_size - m_remaining, m_size);
	if (target < 0 || fseeko(m_file, m_offset + target, SEEK_SET) != 0)
		return false;
	m_remaining = m_size - target;
	return true;
}

int FileInputStream::available() const
{
	if (m_remaining >= 0)
		return m_remaining;
	// Measured each time: bytes appended since opening are readable.
	const off_t position = ftello(m_file);
	const bool measured = position >= 0 && fseeko(m_file, 0, SEEK_END) == 0;
	const off_t end = measured ? ftello(m_file) : -1;
	if (end < 0 || fseeko(m_file, position, SEEK_SET) != 0)
		lang::throwError(IOException(lang::Format("Failed to seek {0}", m_name)));
	return clampedLength(end - position);
}

lang::String FileInputStream::toString() const
{
	return m_name;
}

} // io

#ifndef IO_FILEINPUTSTREAM_H
#define IO_FILEINPUTSTREAM_H

#include <io/InputStream.h>
#include <cstdio>

namespace io {

class FileBundle;

// Input stream over a file it opens and closes. When the installed bundle lists the name, the
// stream reads that member's byte range of the bundle file, and positions count from the start
// of the member; reading and seeking never leave the member. A loose file is read to its
// current end, so bytes appended after opening are seen.
class FileInputStream : public InputStream
{
public:
	// Process-wide bundle consulted by every new stream; not owned (its installer keeps it
	// alive while files may be opened). Null means names are always opened as loose files.
	static FileBundle* sm_fileBundle;

	// Throws io::FileNotFoundException "Failed to open {0}" when the file cannot be opened.
	explicit FileInputStream(const lang::String& name);
	~FileInputStream() override;

	int read(void* data, int size) override;
	int skip(int n) override;
	bool seek(int offset, SeekMode mode) override;
	int available() const override;
	// The name given to the constructor, also for a bundle member.
	lang::String toString() const override;

protected:
	// Opens name through the given bundle, or as a loose file when bundle is null.
	FileInputStream(const lang::String& name, const FileBundle* bundle);

private:
	FILE* m_file;
	lang::String m_name;
	// Where the data begins in the opened file, in bytes.
	long long m_offset;
	// Length of a bundle member in bytes; 0 for a loose file.
	int m_size;
	// Bytes between the position and the end of a bundle member; -1 for a loose file, which
	// reads to the file's current end.
	int m_remaining;

	void open(const lang::String& path);
};

} // io

#endif

#ifndef IO_FILEOUTPUTSTREAM_H
#define IO_FILEOUTPUTSTREAM_H

#include <io/OutputStream.h>
#include <cstdio>

namespace io {

// Output stream that replaces a named file as a whole. Bytes go to a temporary file beside it,
// which is renamed over the old file when the stream closes; until then, and if the stream is
// destroyed by an exception or the process dies first, the old file stays as it was.
class FileOutputStream : public OutputStream
{
public:
	// Throws io::FileNotFoundException "Failed to open {0} for writing" when the temporary file
	// cannot be created (for example in a directory that does not exist).
	explicit FileOutputStream(const lang::String& name);
	// Commits like close() unless an exception is unwinding through the stream's owner, in which
	// case the temporary file is removed. Never throws: call close() to hear of failures.
	~FileOutputStream() override;

	// Throws io::IOException "Failed to write {1} bytes to {0}" unless every byte was written.
	void write(const void* data, int size) override;
	// Flushes the data to disk and puts the file in place of the old one. Throws io::IOException
	// "Failed to close {0}" when that fails, leaving the old file in place. Later calls do nothing;
	// writes after it throw.
	void close();
	lang::String toString() const override;

private:
	FILE* m_file;
	lang::String m_name;
	lang::String m_temporaryName;
	// Exceptions in flight at construction: more at destruction means the save was interrupted.
	int m_uncaughtExceptions;

	// Returns false instead of throwing; the temporary file is gone afterwards either way.
	bool commit();
	void discard();
};

} // io

#endif

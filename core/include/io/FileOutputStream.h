#ifndef IO_FILEOUTPUTSTREAM_H
#define IO_FILEOUTPUTSTREAM_H

#include <io/FileReplacement.h>
#include <io/OutputStream.h>

namespace io {

// Output stream that replaces a named file as a whole through an io::FileReplacement: the old file
// stays as it was until the stream closes, and also when the stream is destroyed by an exception,
// a write failed or the process dies first.
class FileOutputStream : public OutputStream
{
public:
	// Throws io::FileNotFoundException "Failed to open {0} for writing: {1}" ({1} the system's
	// reason) when the temporary file cannot be created (for example in a directory that does not
	// exist).
	explicit FileOutputStream(const lang::String& name);
	// Commits like close() unless an exception is unwinding through the stream's owner, in which
	// case the new file is dropped. Never throws: a failure goes to the debug log; call close() to
	// hear of it.
	~FileOutputStream() override;

	// Throws io::IOException "Failed to write {1} bytes to {0}" unless every byte was written; the
	// stream then never replaces the file.
	void write(const void* data, int size) override;
	// Flushes the data to disk and puts the file in place of the old one. Throws io::IOException
	// "Failed to close {0}: {1}" with the reason when that fails, leaving the old file in place.
	// Later calls do nothing; writes after it throw.
	void close();
	lang::String toString() const override;

private:
	FileReplacement m_replacement;
	// Exceptions in flight at construction: more at destruction means the save was interrupted.
	int m_uncaughtExceptions;
};

} // io

#endif

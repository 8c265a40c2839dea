#ifndef IO_FILEREPLACEMENT_H
#define IO_FILEREPLACEMENT_H

#include <lang/String.h>
#include <cstddef>
#include <cstdio>

namespace io {

// The one way the system saves a file: the new bytes go to a temporary file in the same
// directory, which commit() syncs to disk, renames over the name and makes lasting by syncing the
// directory. Until then, after any failure, and when the process dies or the power goes, the name
// holds the old file whole (or nothing, when there was none); the name never shows a mix.
// Failures are thrown, always as io::IOException (io::FileNotFoundException for a file that cannot
// be created), with the file's name in the message; the temporary file is gone afterwards.
// Owned by its one writer and never copied; destroying it uncommitted removes the temporary file.
class FileReplacement
{
public:
	// Writes size bytes at data as the whole new content of name; throws as the steps below.
	static void replace(const lang::String& name, const void* data, size_t size);

	// Throws io::FileNotFoundException "Failed to open {0} for writing: {1}", {1} the system's
	// reason, when the temporary file cannot be created (no such directory, no permission, a path
	// through a file, name empty, a directory or ending in '/').
	explicit FileReplacement(const lang::String& name);
	~FileReplacement();
	FileReplacement(const FileReplacement&) = delete;
	FileReplacement& operator=(const FileReplacement&) = delete;

	// Throws io::IOException "Failed to write {1} bytes to {0}" unless every byte was taken, and
	// likewise after commit() or after an earlier write failed: a file with bytes missing in the
	// middle is never committed.
	void write(const void* data, size_t size);
	// Puts the new file in place of the old one. Throws io::IOException "Failed to close {0}: {1}",
	// {1} the system's reason, when a write, the flush, the sync, the close or the rename failed
	// (the old file stays) or when the directory could not be synced (the new file is in place but
	// may not survive a power cut). Later calls do nothing.
	void commit();
	// Open from construction until commit().
	bool isOpen() const { return m_file != nullptr; }
	const lang::String& name() const { return m_name; }

private:
	FILE* m_file;
	lang::String m_name;
	lang::String m_temporaryName;
	// The system's error number of the first failed write; 0 while every write succeeded.
	int m_writeError;

	[[noreturn]] void fail(int error) const;
};

} // io

#endif

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
// The temporary file is "<name>.<r>.tmp", r 16 random hexadecimal digits, the name cut (at a
// character boundary) so that the whole stays within the directory's limit for a name: every name
// that fits the limit can be saved, and a longer one is refused before anything is written. The
// writer holds an exclusive lock (flock) on its temporary file while it exists, and the system
// drops the lock with the process: a process that dies while saving leaves an unlocked temporary
// behind, and the next replacement of the same name removes every temporary of that name that it
// can lock. Writers that share a directory never take each other's files, also from separate
// process namespaces, where they may have the same process number.
// The new file has the permissions of the file it replaces, always with its owner's right to read
// and write it.
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
	// through a file, name empty, a directory or ending in '/', or longer than the limit of a name).
	explicit FileReplacement(const lang::String& name);
	~FileReplacement();
	FileReplacement(const FileReplacement&) = delete;
	FileReplacement& operator=(const FileReplacement&) = delete;

	// Throws io::IOException "Failed to write {1} bytes to {0}: {2}", {2} the system's reason,
	// unless every byte was taken, and likewise after commit() or after an earlier write failed: a
	// file with bytes missing in the middle is never committed.
	void write(const void* data, size_t size);
	// For a write that cannot be made (a caller's size below zero): gives up the new file as a
	// failed write of size bytes for the reason error would, and throws as write() does.
	[[noreturn]] void failWrite(long long size, int error);
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
	// A second descriptor of m_file's open file, holding the lock until the file is renamed or
	// removed (closing m_file alone does not drop it); -1 when m_file is null.
	int m_lock;
	lang::String m_name;
	lang::String m_temporaryName;
	// The system's error number of the first failed write; 0 while every write succeeded.
	int m_writeError;

	[[noreturn]] void fail(int error) const;
	// Removes the temporary file, as long as its name still holds it.
	void removeTemporary() const;
	// Creates the temporary file and opens m_file on it. Returns 0, or the system's error number
	// and leaves m_file null.
	int createTemporary();
};

} // io

#endif

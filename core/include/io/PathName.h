#ifndef IO_PATHNAME_H
#define IO_PATHNAME_H

#include <lang/String.h>

namespace io {

// A normalised path ('/' separators, '.' and '..' folded) split into drive, directory, base name
// and extension. A plain value that keeps all its text in its own 500-byte store: no heap use.
// Copies point into their own store.
class PathName
{
public:
	// Longest single text, and longest first text of a join, in characters.
	static constexpr int MAX_PATH_LENGTH = 249;
	// Room for the joined texts of a two-part name (each with its terminator), in bytes.
	static constexpr int MAX_JOINED_LENGTH = 254;
	// Size of the store holding the text and its parts, in bytes.
	static constexpr int STORE_SIZE = 500;

	// The empty path.
	PathName();
	// Normalises one text; throws io::IOException when it exceeds the limits.
	explicit PathName(const lang::String& path);
	// Joins a directory and a name with one '/' and normalises the result.
	PathName(const lang::String& directory, const lang::String& name);
	PathName(const PathName& other);
	PathName& operator=(const PathName& other);

	// The whole text, zero-terminated.
	const char* path() const { return m_path; }
	lang::String toString() const { return lang::String(m_path); }
	// The text through the first ':', or empty.
	const char* drive() const { return m_drive; }
	// After the drive, the text through the last '/', or empty.
	const char* directory() const { return m_directory; }
	// After the directory, the text before the last '.'.
	const char* basename() const { return m_basename; }
	// From the last '.' after the directory on, the '.' included, or empty.
	const char* extension() const { return m_extension; }
	// Bytes of the store in use.
	int storeUsed() const { return m_used; }

	// Base name followed by extension: the last component.
	lang::String filename() const;
	// The path without its last component (a trailing '/' is dropped first).
	PathName parent() const;

private:
	const char* m_path;
	const char* m_drive;
	const char* m_directory;
	const char* m_basename;
	const char* m_extension;
	int m_used;
	char m_store[STORE_SIZE];

	// Checks the limits of one text and normalises it.
	void assignOne(const char* path);
	// Normalises first joined with second (absent when null) into the store.
	void parse(const char* first, const char* second);
	// Folds '.' and '..' components of text in place.
	static void fold(char* text);
	// Points the four parts at copies of the pieces of the folded path text.
	void split();
	// Carves n zero bytes from the store; throws when they do not fit.
	char* allocate(int n);
	// Carves a copy of the n bytes at text with a terminator.
	const char* allocateCopy(const char* text, int n);
	void copyFrom(const PathName& other);
};

} // io

#endif

#ifndef IO_FILEBUNDLE_H
#define IO_FILEBUNDLE_H

#include <io/FileDescriptor.h>
#include <lang/Hashtable.h>
#include <lang/Object.h>

namespace io {

class InputStream;

// Index from a member's full path name to its byte range in a bundle file. Reference counted;
// filled once at start-up, then only read (lookups never modify it, so readers may share it).
class FileBundle : public lang::Object
{
public:
	FileBundle();
	~FileBundle() override;

	// Adds the records of an index text file ("bundleIndex.idx"): bundle file, member name,
	// offset, size, separated by commas and line feeds. Both names are joined to baseDirectory.
	// Throws io::DataCorruptedException "FileBundle corrupted: ..." on a malformed index, naming
	// the index file, the record's number and line and the fault; records before it stay added.
	void parseIndex(const lang::String& indexName, const lang::String& baseDirectory);
	// The same for an index read whole from a stream; offsets and sizes that are negative or
	// beyond the int range are refused as corruption too.
	void parseIndex(InputStream& index, const lang::String& baseDirectory);
	// Enters one member; a name already present has its descriptor replaced. A negative offset or
	// size is refused as corruption, naming the member.
	void addFile(const lang::String& name, const lang::String& bundle, int offset, int size);

	bool containsFile(const lang::String& name) const;
	// The getters throw lang::Exception "File not found in bundle" for an absent name.
	const lang::String& getBundle(const lang::String& name) const;
	int getOffset(const lang::String& name) const;
	int getSize(const lang::String& name) const;
	int fileCount() const;
	// Every member by name, for listing; iteration order is unspecified.
	const lang::Hashtable<lang::String, FileDescriptor>& files() const { return m_files; }

private:
	lang::Hashtable<lang::String, FileDescriptor> m_files;

	const FileDescriptor& descriptor(const lang::String& name) const;
};

} // io

#endif

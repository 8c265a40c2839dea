#ifndef BENCH_TEMPORARYDOCUMENTS_H
#define BENCH_TEMPORARYDOCUMENTS_H

#include <game/GameTestFiles.h>
#include <io/AppDataInputStream.h>
#include <io/AppDataOutputStream.h>

/**
 * A temporary documents directory as the root of the application-data streams while it lives, so
 * that a benchmarked game world saves its settings there and not into the working directory. The
 * roots before it come back when it goes, so that one outliving another keeps its own.
 */
class TemporaryDocuments
{
public:
	TemporaryDocuments() :
		m_inputRoot(io::AppDataInputStream::rootPath()),
		m_outputRoot(io::AppDataOutputStream::rootPath())
	{
		io::AppDataInputStream::setRootPath(m_dir.file("").c_str());
		io::AppDataOutputStream::setRootPath(m_dir.file("").c_str());
	}
	~TemporaryDocuments()
	{
		io::AppDataInputStream::setRootPath(m_inputRoot);
		io::AppDataOutputStream::setRootPath(m_outputRoot);
	}

	std::string path() const							{ return m_dir.file(""); }

private:
	TempDir m_dir;
	lang::String m_inputRoot;
	lang::String m_outputRoot;
};

#endif

#ifndef WORLD_SCRIPTERRORLOG_H
#define WORLD_SCRIPTERRORLOG_H

#include <string>
#include <vector>

/**
 * The debug log's account of the script failures the game caught and went on from. A failure is
 * logged in full the first time; the same one again (same place, same text), as an error in a
 * callback that runs every frame brings, is only counted, and flush logs the counts. A plain
 * value owned by the game world; it flushes when destroyed.
 */
class ScriptErrorLog
{
public:
	ScriptErrorLog() = default;
	ScriptErrorLog(const ScriptErrorLog&) = delete;
	ScriptErrorLog& operator=(const ScriptErrorLog&) = delete;
	~ScriptErrorLog();

	/**
	 * Called from a catch handler: logs the exception being handled under where (a callback's name,
	 * or what the game was doing) when it is a script's failure: a lang::Exception that came out
	 * of the scripts, such as a script error or a file failure a script left unhandled. Out of
	 * memory, a graphics failure and anything that is not a lang::Exception are no script's: they
	 * are rethrown.
	 */
	void logCurrentFailure(const char* where);
	/** Logs the text of a script error under where. */
	void log(const char* where, const std::string& message);
	/** Logs how many more times each failure came since it was logged or last counted. */
	void flush();

private:
	struct Failure
	{
		std::string where;
		std::string message;
		int repeats;
	};

	// The distinct failures logged, at most MAX_REMEMBERED.
	std::vector<Failure> m_failures;
};

#endif

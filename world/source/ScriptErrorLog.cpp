#include <world/ScriptErrorLog.h>

#include <gr/GraphicsException.h>
#include <lang/Debug.h>
#include <lang/Exception.h>
#include <lang/OutOfMemoryException.h>

namespace {

// Distinct failures remembered: failures whose text changes every time (a counter in the
// message) cost this much memory at most; once it is reached the counts are logged and every
// failure is news again.
const size_t MAX_REMEMBERED = 32;

std::string firstLine(const std::string& text)
{
	return text.substr(0, text.find('\n'));
}

} // namespace

ScriptErrorLog::~ScriptErrorLog()
{
	flush();
}

void ScriptErrorLog::logCurrentFailure(const char* where)
{
	try
	{
		throw;
	}
	catch (const lang::OutOfMemoryException&)
	{
		throw;
	}
	catch (const gr::GraphicsException&)
	{
		throw;
	}
	catch (const lang::Exception& e)
	{
		log(where, e.getMessage().format().c_str());
	}
}

void ScriptErrorLog::log(const char* where, const std::string& message)
{
	for (Failure& failure : m_failures)
	{
		if (failure.where == where && failure.message == message)
		{
			++failure.repeats;
			return;
		}
	}
	if (m_failures.size() == MAX_REMEMBERED)
	{
		flush();
		m_failures.clear();
	}
	m_failures.push_back({where, message, 0});
	// The interpreter's text ends with its call stack, whose last line has its own line end.
	const char* const end = !message.empty() && message.back() == '\n' ? "" : "\n";
	lang::Debug::printf("Script error in \"%s\": %s%s", where, message.c_str(), end);
}

void ScriptErrorLog::flush()
{
	for (Failure& failure : m_failures)
	{
		if (failure.repeats > 0)
			lang::Debug::printf("Script error in \"%s\" repeated %d more times: %s\n", failure.where.c_str(), failure.repeats, firstLine(failure.message).c_str());
		failure.repeats = 0;
	}
}

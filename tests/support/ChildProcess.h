#ifndef TESTS_SUPPORT_CHILDPROCESS_H
#define TESTS_SUPPORT_CHILDPROCESS_H

#include <gtest/gtest.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <sched.h>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

// A forked child that runs body(in, out), in reading commands from the test and out writing
// replies to it. With Namespaces::OWN the child is process 1 of a process namespace (and the user
// namespace that allows it) of its own, as a sandboxed program is: children made so share the
// process number 1. The child ends with std::_Exit when body returns, running no destructors, as a
// killed process would. Owned by the test; destroying it ends the child as end() does.
class ChildProcess
{
public:
	enum class Namespaces { SHARED, OWN };

	explicit ChildProcess(const std::function<void(int in, int out)>& body, Namespaces namespaces = Namespaces::SHARED)
	{
		int commands[2];
		int replies[2];
		if (pipe(commands) != 0 || pipe(replies) != 0)
		{
			ADD_FAILURE() << "no pipe: " << std::strerror(errno);
			return;
		}
		m_process = fork();
		if (m_process == 0)
		{
			close(commands[1]);
			close(replies[0]);
			if (namespaces == Namespaces::OWN)
				runInOwnNamespaces(body, commands[0], replies[1]);
			run(body, commands[0], replies[1]);
		}
		close(commands[0]);
		close(replies[1]);
		m_commands = commands[1];
		m_replies = replies[0];
		char start = 0;
		int error = 0;
		if (!receive(start) || (start == 'E' && !receive(error)) || (start == 'S' && !receive(m_pid)))
			ADD_FAILURE() << "the child never started";
		if (start == 'E')
			m_refusal = std::strerror(error);
	}
	~ChildProcess() { end(); }
	ChildProcess(const ChildProcess&) = delete;
	ChildProcess& operator=(const ChildProcess&) = delete;

	// Empty when the child runs; otherwise the system's reason it refused the namespaces.
	const std::string& refusal() const { return m_refusal; }
	// The child's process number as it sees it.
	pid_t pid() const { return m_pid; }

	// False when the child has ended.
	bool send(char command) { return write(m_commands, &command, 1) == 1; }
	// Sends command and returns the one-character reply, or 0 when the child gave none.
	char ask(char command)
	{
		char reply = 0;
		return send(command) && receive(reply) ? reply : 0;
	}
	// Reads exactly one T that the child wrote; false when it ended first.
	template <class T>
	bool receive(T& value)
	{
		char* at = reinterpret_cast<char*>(&value);
		for (size_t got = 0; got < sizeof value;)
		{
			const ssize_t bytes = read(m_replies, at + got, sizeof value - got);
			if (bytes <= 0)
				return false;
			got += static_cast<size_t>(bytes);
		}
		return true;
	}
	// Closes the child's commands, which its body reads as the end, and waits until it has gone.
	void end()
	{
		if (m_commands >= 0)
			close(m_commands);
		if (m_process > 0)
			waitpid(m_process, nullptr, 0);
		if (m_replies >= 0)
			close(m_replies);
		m_commands = m_replies = -1;
		m_process = -1;
	}

private:
	pid_t m_process = -1;
	pid_t m_pid = 0;
	int m_commands = -1;
	int m_replies = -1;
	std::string m_refusal;

	static void send(int out, const void* data, size_t size)
	{
		if (write(out, data, size) != static_cast<ssize_t>(size))
			std::_Exit(1);
	}

	[[noreturn]] static void run(const std::function<void(int, int)>& body, int in, int out)
	{
		const pid_t pid = getpid();
		send(out, "S", 1);
		send(out, &pid, sizeof pid);
		body(in, out);
		std::_Exit(0);
	}

	// The namespaces take effect for the children of the process that asks for them, so this one
	// only waits for the child that runs body.
	[[noreturn]] static void runInOwnNamespaces(const std::function<void(int, int)>& body, int in, int out)
	{
		const pid_t child = unshare(CLONE_NEWUSER | CLONE_NEWPID) == 0 ? fork() : -1;
		if (child == 0)
			run(body, in, out);
		if (child < 0)
		{
			const int error = errno;
			send(out, "E", 1);
			send(out, &error, sizeof error);
			std::_Exit(0);
		}
		close(in);
		close(out);
		int status = 0;
		waitpid(child, &status, 0);
		std::_Exit(WIFEXITED(status) ? WEXITSTATUS(status) : 1);
	}
};

} // testsupport

#endif

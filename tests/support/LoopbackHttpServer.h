#ifndef TESTS_SUPPORT_LOOPBACKHTTPSERVER_H
#define TESTS_SUPPORT_LOOPBACKHTTPSERVER_H

#include <arpa/inet.h>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

// Opens a TCP socket listening on 127.0.0.1 at a port the system picks and stores that port.
// The caller owns the socket and closes it.
inline int listenOnLoopback(int& port)
{
	const int listening = socket(AF_INET, SOCK_STREAM, 0);
	sockaddr_in address{};
	address.sin_family = AF_INET;
	address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof(address));
	socklen_t length = sizeof(address);
	getsockname(listening, reinterpret_cast<sockaddr*>(&address), &length);
	port = ntohs(address.sin_port);
	listen(listening, 8);
	return listening;
}

// An HTTP/1.1 server on 127.0.0.1 at a free port, inside the test's process: one connection at a
// time, each request handed to the handler on the server's thread and its answer sent back. Keeps
// every request it read. Owned by the test; the destructor stops it.
class LoopbackHttpServer
{
public:
	struct Request
	{
		std::string method;
		std::string path;
		std::string head;
		std::string body;
	};

	struct Answer
	{
		int status = 200;
		std::string body;
		// Extra header lines, each ending in "\r\n".
		std::string headers;
		// Close the connection without answering.
		bool drop = false;
	};

	using Handler = std::function<Answer(const Request&)>;

	explicit LoopbackHttpServer(Handler handler) : m_handler(std::move(handler))
	{
		m_socket = listenOnLoopback(m_port);
		m_thread = std::thread([this] { serve(); });
	}

	~LoopbackHttpServer()
	{
		shutdown(m_socket, SHUT_RDWR);
		close(m_socket);
		m_thread.join();
	}

	LoopbackHttpServer(const LoopbackHttpServer&) = delete;
	LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

	std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }

	std::vector<Request> requests() const
	{
		std::lock_guard<std::mutex> lock(m_mutex);
		return m_requests;
	}

private:
	void serve()
	{
		for (;;)
		{
			const int client = accept(m_socket, nullptr, nullptr);
			if (client < 0)
				return;
			const Request request = readRequest(client);
			{
				std::lock_guard<std::mutex> lock(m_mutex);
				m_requests.push_back(request);
			}
			const Answer answer = m_handler(request);
			if (!answer.drop)
			{
				const std::string response = "HTTP/1.1 " + std::to_string(answer.status) + " Status\r\n" + answer.headers +
					"Content-Length: " + std::to_string(answer.body.size()) + "\r\nConnection: close\r\n\r\n" + answer.body;
				(void)!write(client, response.data(), response.size());
			}
			close(client);
		}
	}

	static Request readRequest(int client)
	{
		std::string data;
		char buffer[4096];
		size_t headEnd = std::string::npos;
		size_t wanted = 0;
		while (headEnd == std::string::npos || data.size() < headEnd + 4 + wanted)
		{
			const ssize_t n = read(client, buffer, sizeof(buffer));
			if (n <= 0)
				break;
			data.append(buffer, static_cast<size_t>(n));
			headEnd = data.find("\r\n\r\n");
			const size_t length = data.find("Content-Length: ");
			if (headEnd != std::string::npos && length != std::string::npos && length < headEnd)
				wanted = std::stoul(data.substr(length + 16));
		}
		Request request;
		request.head = data.substr(0, headEnd);
		request.body = headEnd == std::string::npos ? "" : data.substr(headEnd + 4);
		const size_t space = data.find(' ');
		request.method = data.substr(0, space);
		if (space != std::string::npos)
			request.path = data.substr(space + 1, data.find(' ', space + 1) - space - 1);
		return request;
	}

	Handler m_handler;
	int m_socket;
	int m_port;
	std::thread m_thread;
	mutable std::mutex m_mutex;
	std::vector<Request> m_requests;
};

#endif

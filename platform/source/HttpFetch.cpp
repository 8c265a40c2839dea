#include <platform/HttpFetch.h>
#include <platform/MainQueue.h>
#include <curl/curl.h>
#include <mutex>

namespace platform {

namespace {

struct Transfer
{
	std::string body;
	std::map<std::string, std::string> headers;
	size_t maxBody = HttpFetch::MAX_BODY;
	bool tooLarge = false;
	const std::atomic<bool>* abort = nullptr;
};

size_t collect(char* data, size_t size, size_t count, void* user)
{
	Transfer& transfer = *static_cast<Transfer*>(user);
	const size_t n = size * count;
	if (transfer.body.size() + n > transfer.maxBody)
	{
		transfer.tooLarge = true;
		return 0;
	}
	transfer.body.append(data, n);
	return n;
}

// One header line at a time; a status line starts a new response (a redirect's or the next).
size_t collectHeader(char* data, size_t size, size_t count, void* user)
{
	Transfer& transfer = *static_cast<Transfer*>(user);
	const size_t n = size * count;
	std::string line(data, n);
	while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
		line.pop_back();
	const size_t colon = line.find(':');
	if (line.rfind("HTTP/", 0) == 0)
		transfer.headers.clear();
	else if (colon != std::string::npos && colon > 0)
	{
		const size_t value = line.find_first_not_of(" \t", colon + 1);
		transfer.headers[line.substr(0, colon)] = value == std::string::npos ? "" : line.substr(value);
	}
	return n;
}

// How many HttpFetch::AbortAll live now.
std::atomic<int> s_abortAll{0};

bool aborted(const Transfer& transfer)
{
	return s_abortAll > 0 || (transfer.abort && transfer.abort->load());
}

// Runs the transfer, waking at least every HttpFetch::ABORT_CHECK_MILLISECONDS to see whether it
// is to end, also while no byte moves (a lookup or an answer that does not come).
CURLcode run(CURL* curl, const Transfer& transfer)
{
	CURLM* multi = curl_multi_init();
	if (!multi)
		return CURLE_OUT_OF_MEMORY;
	curl_multi_add_handle(multi, curl);
	CURLcode code = CURLE_OK;
	for (int running = 1; running;)
	{
		if (aborted(transfer))
		{
			code = CURLE_ABORTED_BY_CALLBACK;
			break;
		}
		if (curl_multi_perform(multi, &running) != CURLM_OK)
		{
			code = CURLE_FAILED_INIT;
			break;
		}
		if (running)
			curl_multi_poll(multi, nullptr, 0, HttpFetch::ABORT_CHECK_MILLISECONDS, nullptr);
	}
	int left = 0;
	while (const CURLMsg* message = curl_multi_info_read(multi, &left))
		if (message->msg == CURLMSG_DONE && code == CURLE_OK)
			code = message->data.result;
	curl_multi_remove_handle(multi, curl);
	curl_multi_cleanup(multi);
	return code;
}

void initializeCurl()
{
	static std::once_flag once;
	std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

HttpResult HttpFetch::get(const std::string& url, const std::atomic<bool>* abort)
{
	HttpRequest request;
	request.url = url;
	return perform(request, abort);
}

HttpResult HttpFetch::perform(const HttpRequest& request, const std::atomic<bool>* abort)
{
	initializeCurl();
	HttpResult result;
	if (request.method != "GET" && request.method != "POST")
	{
		result.error = "Unsupported method " + request.method;
		return result;
	}
	CURL* curl = curl_easy_init();
	if (!curl)
	{
		result.error = "Can't start a transfer";
		return result;
	}
	Transfer transfer;
	transfer.abort = abort;
	if (request.maxBody > 0)
		transfer.maxBody = request.maxBody;
	curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
	curl_slist* headers = nullptr;
	for (const std::string& header : request.headers)
		headers = curl_slist_append(headers, header.c_str());
	if (request.method == "POST")
	{
		// No "Expect: 100-continue" round trip before large bodies.
		headers = curl_slist_append(headers, "Expect:");
		// The size is given: bodies may hold zero bytes.
		curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
		curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.data());
	}
	curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
	curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,file");
	curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
	curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
	curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
	curl_easy_setopt(curl, CURLOPT_TIMEOUT, request.timeout > 0 ? request.timeout : TIMEOUT);
	curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
	curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
	curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
	curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, collectHeader);
	curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
	const CURLcode code = run(curl, transfer);
	curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
	const char* redirect = nullptr;
	if (curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &redirect) == CURLE_OK && redirect)
		result.redirectUrl = redirect;
	curl_easy_cleanup(curl);
	curl_slist_free_all(headers);
	if (code != CURLE_OK)
		result.error = transfer.tooLarge ? "Body too large" : curl_easy_strerror(code);
	else if (result.status != 0 && (result.status < 200 || result.status > 299))
		result.error = "HTTP status " + std::to_string(result.status);
	result.ok = result.error.empty();
	result.answered = code == CURLE_OK;
	if (code == CURLE_OK)
	{
		result.body = std::move(transfer.body);
		result.headers = std::move(transfer.headers);
	}
	return result;
}

HttpFetch::HttpFetch(MainQueue& queue, const std::string& url, std::function<void(const HttpResult&)> done) :
	HttpFetch(queue, HttpRequest{url, "GET", "", {}, 0}, std::move(done))
{
}

HttpFetch::HttpFetch(MainQueue& queue, const HttpRequest& request, std::function<void(const HttpResult&)> done) :
	m_queue(queue),
	m_abort(false)
{
	m_worker = std::thread([this, request, done = std::move(done)] {
		HttpResult result = perform(request, &m_abort);
		if (!m_abort)
			m_queue.post(this, [done, result = std::move(result)] { done(result); });
	});
}

HttpFetch::~HttpFetch()
{
	m_abort = true;
	m_worker.join();
	m_queue.cancel(this);
}

HttpFetch::AbortAll::AbortAll()
{
	++s_abortAll;
}

HttpFetch::AbortAll::~AbortAll()
{
	--s_abortAll;
}

} // platform

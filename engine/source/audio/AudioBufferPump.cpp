#include <audio/AudioBufferPump.h>

#include <audio/AudioBuffer.h>
#include <lang/Thread.h>

#include <algorithm>
#include <mutex>

namespace audio {

AudioBufferPump::AudioBufferPump() = default;

AudioBufferPump::~AudioBufferPump()
{
	stop();
}

void AudioBufferPump::addBuffer(AudioBuffer* buffer)
{
	std::lock_guard<lang::Mutex> guard(m_listLock);
	m_buffers.push_back(buffer);
}

void AudioBufferPump::removeBuffer(AudioBuffer* buffer)
{
	std::lock_guard<lang::Mutex> guard(m_listLock);
	m_buffers.erase(std::remove(m_buffers.begin(), m_buffers.end(), lang::Ptr<AudioBuffer>(buffer)), m_buffers.end());
}

void AudioBufferPump::start()
{
	if (m_thread)
		return;
	m_runLock.lock();
	try
	{
		m_thread = new lang::Thread(lang::Functor::bind(this, &AudioBufferPump::pumpThreadFunc), true);
	}
	catch (...)
	{
		m_runLock.unlock();
		throw;
	}
}

void AudioBufferPump::stop()
{
	if (!m_thread)
		return;
	m_runLock.unlock();
	// Dropping the thread joins it.
	m_thread = nullptr;
}

void AudioBufferPump::pumpThreadFunc()
{
	while (!m_runLock.tryLock())
	{
		lang::Thread::sleep(REFILL_INTERVAL_MS);
		std::lock_guard<lang::Mutex> guard(m_listLock);
		for (const lang::Ptr<AudioBuffer>& buffer : m_buffers)
			buffer->fillBuffer();
	}
	m_runLock.unlock();
}

} // audio

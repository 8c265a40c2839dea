#include <audio/AudioBuffer.h>

#include <audio/AudioClip.h>
#include <lang/Exception.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace audio {

AudioBuffer::AudioBuffer(AudioClip* clip, AudioClipCursor* cursor, int capacity)
	: m_capacity(capacity > 0 ? capacity : 0), m_filled(0), m_storage(static_cast<size_t>(m_capacity)), m_readIndex(0),
	  m_writeIndex(0), m_endOfData(false), m_cursor(cursor), m_clip(clip)
{
}

int AudioBuffer::filled() const
{
	std::lock_guard<lang::Mutex> guard(m_lock);
	return m_filled;
}

void AudioBuffer::fillBuffer()
{
	std::lock_guard<lang::Mutex> guard(m_lock);
	const int room = m_capacity - m_filled;
	if (room < 1 || m_endOfData)
		return;
	const int first = std::min(room, m_capacity - m_writeIndex);
	int n = m_clip->getData(m_storage.data() + m_writeIndex, first, m_cursor);
	if (room > first && n == first)
		n += m_clip->getData(m_storage.data(), room - first, m_cursor);
	m_writeIndex = (m_writeIndex + n) % m_capacity;
	m_filled += n;
	if (n < room)
		m_endOfData = true;
}

int AudioBuffer::get(void* dst, int bytes)
{
	if (bytes > m_capacity)
		lang::throwError(lang::Exception(lang::Format("Can't get {0} bytes from an audio buffer of {1} bytes", bytes, m_capacity)));
	if (bytes <= 0)
		return 0;
	std::lock_guard<lang::Mutex> guard(m_lock);
	while (bytes > m_filled && !m_endOfData)
		fillBuffer();
	const int n = std::min(bytes, m_filled);
	const int first = std::min(n, m_capacity - m_readIndex);
	unsigned char* out = static_cast<unsigned char*>(dst);
	std::memcpy(out, m_storage.data() + m_readIndex, static_cast<size_t>(first));
	std::memcpy(out + first, m_storage.data(), static_cast<size_t>(n - first));
	m_readIndex = (m_readIndex + n) % m_capacity;
	m_filled -= n;
	return n;
}

int AudioBuffer::getData(void* dst, int bytes)
{
	unsigned char* out = static_cast<unsigned char*>(dst);
	int got = 0;
	if (bytes >= 1 && m_capacity > 0)
	{
		int n = 0;
		int chunk = 0;
		do
		{
			chunk = std::min(bytes - got, m_capacity);
			n = get(out + got, chunk);
			got += n;
		} while (n == chunk && got < bytes);
	}
	std::lock_guard<lang::Mutex> guard(m_lock);
	m_endOfData = false;
	return got;
}

} // audio

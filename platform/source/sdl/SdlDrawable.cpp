#include "SdlDrawable.h"
#include "SdlApplication.h"
#include "../PngWriter.h"
#include <GLES/gl.h>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace platform {

SdlDrawable::SdlDrawable(SdlApplication& application, SDL_Window* window) :
	m_application(application),
	m_window(window)
{
	m_context = SDL_GL_CreateContext(window);
	if (!m_context)
		throw std::runtime_error(std::string("Can't create a GL context: ") + SDL_GetError());
	SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
	m_presentContext = SDL_GL_CreateContext(window);
	SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
	if (!m_presentContext)
	{
		SDL_GL_DeleteContext(m_context);
		throw std::runtime_error(std::string("Can't create a shared GL context: ") + SDL_GetError());
	}
	// Frames are paced by the application's timer: a blocking swap would only add latency.
	SDL_GL_SetSwapInterval(0);
	SDL_GL_MakeCurrent(m_window, m_context);
}

SdlDrawable::~SdlDrawable()
{
	SDL_GL_MakeCurrent(m_window, nullptr);
	SDL_GL_DeleteContext(m_presentContext);
	SDL_GL_DeleteContext(m_context);
}

bool SdlDrawable::makeCurrent()
{
	return SDL_GL_MakeCurrent(m_window, m_context) == 0;
}

bool SdlDrawable::isCurrent() const
{
	return SDL_GL_GetCurrentContext() == m_context;
}

void SdlDrawable::clearCurrent()
{
	SDL_GL_MakeCurrent(m_window, nullptr);
}

bool SdlDrawable::present(unsigned texture)
{
	glFlush();
	if (SDL_GL_MakeCurrent(m_window, m_presentContext) != 0)
		return false;
	drawPicture(texture);
	const std::string capturePath = m_application.takeCapture();
	if (!capturePath.empty())
		capture(capturePath);
	SDL_GL_SwapWindow(m_window);
	return makeCurrent();
}

void SdlDrawable::drawPicture(unsigned texture)
{
	int width = 0, height = 0;
	SDL_GL_GetDrawableSize(m_window, &width, &height);
	glViewport(0, 0, width, height);
	glClearColor(0, 0, 0, 1);
	glClear(GL_COLOR_BUFFER_BIT);
	if (width <= 0 || height <= 0)
		return;

	// The picture's corners in window pixels and the view points under them, as texture
	// coordinates (GL rows run bottom to top).
	const SDL_Rect rect = m_application.pictureRect();
	const DisplayRotation rotation = m_application.screenRotation();
	const float corners[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
	GLfloat positions[8];
	GLfloat texcoords[8];
	for (int i = 0; i < 4; ++i)
	{
		const float wx = rect.x + corners[i][0] * rect.w;
		const float wy = rect.y + corners[i][1] * rect.h;
		positions[i * 2] = 2 * wx / width - 1;
		positions[i * 2 + 1] = 1 - 2 * wy / height;
		float vx = 0, vy = 0;
		rotation.toView(corners[i][0] * rotation.screenWidth(), corners[i][1] * rotation.screenHeight(), vx, vy);
		texcoords[i * 2] = vx / Application::SCREEN_WIDTH;
		texcoords[i * 2 + 1] = 1 - vy / Application::SCREEN_HEIGHT;
	}
	glMatrixMode(GL_PROJECTION);
	glLoadIdentity();
	glMatrixMode(GL_MODELVIEW);
	glLoadIdentity();
	glDisable(GL_BLEND);
	glEnable(GL_TEXTURE_2D);
	glBindTexture(GL_TEXTURE_2D, texture);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
	glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
	glEnableClientState(GL_VERTEX_ARRAY);
	glEnableClientState(GL_TEXTURE_COORD_ARRAY);
	glVertexPointer(2, GL_FLOAT, 0, positions);
	glTexCoordPointer(2, GL_FLOAT, 0, texcoords);
	glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
	glBindTexture(GL_TEXTURE_2D, 0);
}

void SdlDrawable::capture(const std::string& path)
{
	int width = 0, height = 0;
	SDL_GL_GetDrawableSize(m_window, &width, &height);
	std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
	glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
	std::vector<uint8_t> picture(pixels.size());
	const size_t row = static_cast<size_t>(width) * 4;
	for (int y = 0; y < height; ++y)
		std::copy_n(&pixels[(height - 1 - y) * row], row, &picture[y * row]);
	for (size_t i = 3; i < picture.size(); i += 4)
		picture[i] = 255;
	std::string failure;
	if (!PngWriter::write(path, width, height, picture, &failure))
	{
		std::fprintf(stderr, "Can't capture to %s: %s\n", path.c_str(), failure.c_str());
		m_application.captureFailed();
	}
}

} // platform

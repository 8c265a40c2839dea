#ifndef PLATFORM_SDLDRAWABLE_H
#define PLATFORM_SDLDRAWABLE_H

#include <platform/GLContext.h>
#include <SDL.h>
#include <string>

namespace platform {

class SdlApplication;

// The GL context of the window: the application draws with one context into its drawable
// texture; present draws that texture turned into the window with a second context that shares
// it, so the application's GL state is never disturbed. Owned by the view that draws with it.
class SdlDrawable : public GLContext
{
public:
	// Throws std::runtime_error when a context cannot be made.
	SdlDrawable(SdlApplication& application, SDL_Window* window);
	~SdlDrawable() override;

	bool makeCurrent() override;
	bool isCurrent() const override;
	void clearCurrent() override;
	bool present(unsigned texture) override;

private:
	void drawPicture(unsigned texture);
	void capture(const std::string& path);

	SdlApplication& m_application;
	SDL_Window* m_window;
	SDL_GLContext m_context = nullptr;
	SDL_GLContext m_presentContext = nullptr;
};

} // platform

#endif

// Textured, alpha-blended 32 x 32 sprites from one image: through gr::Image draws and the 2D batcher
// against the same quads drawn with raw GL ES client arrays, into a 1024 x 768 offscreen framebuffer.
#include <support/HeadlessGL.h>
#include <gr/Image.h>
#include <gr/ogles/EGL_Context.h>
#include <gr/ogles/EGL_State.h>
#include <gr/ogles/EGL_Texture.h>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace
{

const int SCREEN_WIDTH = 1024;
const int SCREEN_HEIGHT = 768;
const int SPRITE = 32;
const GLfloat IDENTITY[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

/** One GL context, framebuffer and device for every benchmark of the run. */
struct Scene
{
	HeadlessGL gl{SCREEN_WIDTH, SCREEN_HEIGHT};
	lang::Ptr<gr::EGL_Context> device = gr::EGL_createContext(SCREEN_WIDTH, SCREEN_HEIGHT, gr::Context::ORIENTATION_0, nullptr);
	lang::Ptr<gr::Image> image = device->createImage(SPRITE, SPRITE, 0, gr::SurfaceFormat::A8R8G8B8, nullptr);

	Scene()
	{
		std::vector<unsigned char> rgba(SPRITE * SPRITE * 4);
		for (size_t i = 0; i < rgba.size(); i += 4)
		{
			// Premultiplied, half of it translucent.
			const unsigned char alpha = (i / 4) % 2 ? 255 : 128;
			rgba[i] = alpha;
			rgba[i + 1] = alpha / 2;
			rgba[i + 2] = 0;
			rgba[i + 3] = alpha;
		}
		image->blt(0, 0, rgba.data(), SPRITE * 4, 0, SPRITE, SPRITE, image->format(), nullptr, gr::SurfaceFormat());
	}

	static Scene& get()
	{
		static Scene scene;
		return scene;
	}
};

float spriteX(int i)											{ return (float)((i * 37) % (SCREEN_WIDTH - SPRITE)); }
float spriteY(int i)											{ return (float)((i * 53) % (SCREEN_HEIGHT - SPRITE)); }

void BM_ImageSprites(benchmark::State& state)
{
	Scene& scene = Scene::get();
	const int sprites = (int)state.range(0);
	for (auto _ : state)
	{
		scene.device->clear(0xFF000000u, true, false, false);
		for (int i = 0; i < sprites; ++i)
			scene.image->draw(scene.device, spriteX(i), spriteY(i), 0, 0, SPRITE, SPRITE, (float)SPRITE, (float)SPRITE);
		scene.device->present();
		gr::gl().glFinish();
	}
	state.SetItemsProcessed(state.iterations() * sprites);
}

void BM_RawGLSprites(benchmark::State& state)
{
	Scene& scene = Scene::get();
	const int sprites = (int)state.range(0);
	const gr::GLFunctions& gl = gr::gl();
	const GLuint texture = static_cast<gr::EGL_Texture*>(scene.image->getTexture())->glTexture();
	std::vector<float> positions((size_t)sprites * 18);
	std::vector<float> uv((size_t)sprites * 12);
	const float corners[6][2] = {{0, 0}, {1, 0}, {0, 1}, {0, 1}, {1, 0}, {1, 1}};
	for (auto _ : state)
	{
		// The application's own per-frame work: positions to clip space, six vertices per quad.
		for (int i = 0; i < sprites; ++i)
			for (int v = 0; v < 6; ++v)
			{
				const float x = spriteX(i) + corners[v][0] * SPRITE;
				const float y = spriteY(i) + corners[v][1] * SPRITE;
				float* p = &positions[(size_t)(i * 6 + v) * 3];
				p[0] = x * (2.f / SCREEN_WIDTH) - 1.f;
				p[1] = y * (-2.f / SCREEN_HEIGHT) + 1.f;
				p[2] = 0.f;
				uv[(size_t)(i * 6 + v) * 2] = corners[v][0];
				uv[(size_t)(i * 6 + v) * 2 + 1] = corners[v][1];
			}
		gl.glClearColor(0.f, 0.f, 0.f, 1.f);
		gl.glClear(GL_COLOR_BUFFER_BIT);
		gl.glMatrixMode(GL_PROJECTION);
		gl.glLoadMatrixf(IDENTITY);
		gl.glMatrixMode(GL_MODELVIEW);
		gl.glLoadMatrixf(IDENTITY);
		gl.glDisable(GL_DEPTH_TEST);
		gl.glEnable(GL_BLEND);
		gl.glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
		gl.glActiveTexture(GL_TEXTURE0);
		gl.glEnable(GL_TEXTURE_2D);
		gl.glBindTexture(GL_TEXTURE_2D, texture);
		gl.glEnableClientState(GL_VERTEX_ARRAY);
		gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
		gl.glVertexPointer(3, GL_FLOAT, 0, positions.data());
		gl.glTexCoordPointer(2, GL_FLOAT, 0, uv.data());
		gl.glDrawArrays(GL_TRIANGLES, 0, sprites * 6);
		gl.glDisableClientState(GL_VERTEX_ARRAY);
		gl.glDisableClientState(GL_TEXTURE_COORD_ARRAY);
		gl.glFinish();
	}
	// The device's shadow no longer matches what was done behind it.
	gr::EGL_State::sm_current.reset();
	gl.glDisable(GL_DITHER);
	state.SetItemsProcessed(state.iterations() * sprites);
}

/** CPU cost of one sprite request: transform, cull and queue, without drawing. */
void BM_SpriteRequestCPU(benchmark::State& state)
{
	Scene& scene = Scene::get();
	const int sprites = (int)state.range(0);
	for (auto _ : state)
	{
		for (int i = 0; i < sprites; ++i)
			scene.image->draw(scene.device, spriteX(i), spriteY(i), 0, 0, SPRITE, SPRITE, (float)SPRITE, (float)SPRITE);
		scene.device->getBatcher().reset();
	}
	state.SetItemsProcessed(state.iterations() * sprites);
}

} // namespace

BENCHMARK(BM_ImageSprites)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawGLSprites)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SpriteRequestCPU)->Arg(2000)->Unit(benchmark::kMicrosecond);

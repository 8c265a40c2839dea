#include <lang/Object.h>
#include <lang/Ptr.h>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using lang::Object;
using lang::Ptr;

namespace {

// Counts destructor runs of the most-derived class.
class Tracked : public Object
{
public:
	explicit Tracked(int* destroyed) : m_destroyed(destroyed) {}
	Tracked(const Tracked&) = default;
	~Tracked() override { ++*m_destroyed; }

private:
	int* m_destroyed;
};

} // namespace

TEST(Ptr, LastReleaseDeletesOnce)
{
	int destroyed = 0;
	{
		Ptr<Tracked> a(new Tracked(&destroyed));
		Ptr<Object> b(a);
		EXPECT_EQ(2, a->references());
		a = nullptr;
		EXPECT_EQ(0, destroyed);
	}
	EXPECT_EQ(1, destroyed);
}

TEST(Ptr, SelfAssignmentAndHandOverKeepObjectAlive)
{
	int destroyed = 0;
	Ptr<Tracked> a(new Tracked(&destroyed));
	a = a;
	EXPECT_EQ(1, a->references());

	Ptr<Tracked> b(new Tracked(&destroyed));
	b = a.ptr();
	EXPECT_EQ(1, destroyed);
	a.reset();
	EXPECT_EQ(1, destroyed);
	EXPECT_EQ(1, b->references());

	Ptr<Tracked> c(std::move(b));
	EXPECT_EQ(nullptr, b.ptr());
	c = std::move(c);
	EXPECT_EQ(1, destroyed);
	c.reset();
	EXPECT_EQ(2, destroyed);

	Ptr<Tracked> empty;
	empty.reset();
	empty = nullptr;
	EXPECT_EQ(2, destroyed);
}

TEST(Object, CopyIsUnownedAndUnheldObjectsStayAlive)
{
	int destroyed = 0;
	Tracked* original = new Tracked(&destroyed);
	Ptr<Tracked> a(original);
	Ptr<Tracked> b(original);
	{
		Tracked copy(*original);
		EXPECT_EQ(0, copy.references());
		copy = *original;
		EXPECT_EQ(0, copy.references());
	}
	EXPECT_EQ(2, original->references());
	EXPECT_EQ(1, destroyed);
}

TEST(Object, CountIsSafeAcrossThreads)
{
	int destroyed = 0;
	Ptr<Tracked> shared(new Tracked(&destroyed));
	std::vector<std::thread> threads;
	for (int t = 0; t < 4; ++t)
	{
		threads.emplace_back([shared] {
			for (int i = 0; i < 10000; ++i)
				Ptr<Tracked> copy(shared);
		});
	}
	for (std::thread& thread : threads)
		thread.join();
	EXPECT_EQ(1, shared->references());
	shared.reset();
	EXPECT_EQ(1, destroyed);
}

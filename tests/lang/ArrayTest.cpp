#include <lang/Array.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <support/CountedObject.h>
#include <gtest/gtest.h>
#include <vector>

using namespace lang;

namespace
{

template <int N>
struct Bytes
{
	char data[N] = {};
};

// The distinct capacities an empty array passes through over the first `adds` appends.
template <class T>
std::vector<int> capacitySequence(int adds)
{
	Array<T> a;
	std::vector<int> caps;
	for (int i = 0; i < adds; ++i)
	{
		a.add(T());
		if (caps.empty() || caps.back() != a.capacity())
			caps.push_back(a.capacity());
	}
	return caps;
}

Array<String> strings(std::initializer_list<const char*> texts)
{
	Array<String> a;
	for (const char* t : texts)
		a.add(t);
	return a;
}

std::vector<String> contents(const Array<String>& a)
{
	return std::vector<String>(a.begin(), a.end());
}

} // namespace

TEST(Array, CapacityDoublesFromThirtyTwoBytesOfElements)
{
	EXPECT_EQ((std::vector<int>{8, 16, 32}), capacitySequence<int>(17));
	EXPECT_EQ((std::vector<int>{32, 64}), capacitySequence<char>(33));
	EXPECT_EQ((std::vector<int>{3, 6}), capacitySequence<Bytes<12>>(4));
	EXPECT_EQ((std::vector<int>{2, 4, 8}), capacitySequence<Bytes<24>>(5));
	EXPECT_EQ((std::vector<int>{1, 2, 4, 8}), capacitySequence<Bytes<80>>(5));

	Array<int> a;
	a.resize(3, 7);
	EXPECT_EQ(8, a.capacity());
	EXPECT_EQ(3, a.size());
	EXPECT_EQ(7, a[2]);
	a.resize(20);
	EXPECT_EQ(20, a.capacity());
}

TEST(Array, OwnElementAsArgumentSurvivesReallocation)
{
	Array<String> a = strings({"a first text beyond the inline size", "b"});
	ASSERT_EQ(a.size(), a.capacity());
	a.add(a[0]);
	EXPECT_EQ((std::vector<String>{"a first text beyond the inline size", "b", "a first text beyond the inline size"}), contents(a));

	Array<String> r = strings({"x", "y"});
	r.resize(5, r[1]);
	EXPECT_EQ((std::vector<String>{"x", "y", "y", "y", "y"}), contents(r));

	Array<String> i = strings({"p", "q"});
	i.add(0, i[1]);
	EXPECT_EQ((std::vector<String>{"q", "p", "q"}), contents(i));
}

TEST(Array, InsertAndRemoveShiftAndResetVacatedSlots)
{
	Array<String> a = strings({"b", "c"});
	a.add(0, "a");
	a.add(a.size(), "d");
	a.add(2, "x");
	EXPECT_EQ((std::vector<String>{"a", "b", "x", "c", "d"}), contents(a));

	a.remove(2);
	a.remove(0);
	a.remove(a.size() - 1);
	EXPECT_EQ((std::vector<String>{"b", "c"}), contents(a));
	for (int i = a.size(); i < a.capacity(); ++i)
		EXPECT_TRUE(a.data()[i].isEmpty()) << i;

	Array<int> one;
	one.add(5);
	one.remove(0);
	EXPECT_EQ(0, one.size());
	EXPECT_EQ(8, one.capacity());
	EXPECT_EQ(-1, one.indexOf(5));
}

TEST(Array, AssignmentKeepsLargerBufferAndResetsSurplus)
{
	Array<String> big;
	for (int i = 0; i < 10; ++i)
		big.add(String("item"));
	const int cap = big.capacity();

	const Array<String> small = strings({"x", "y", "z"});
	big = small;
	EXPECT_EQ((std::vector<String>{"x", "y", "z"}), contents(big));
	EXPECT_EQ(cap, big.capacity());
	for (int i = 3; i < 10; ++i)
		EXPECT_TRUE(big.data()[i].isEmpty()) << i;

	const Array<String>& self = big;
	big = self;
	EXPECT_EQ((std::vector<String>{"x", "y", "z"}), contents(big));

	Array<String> copy(big);
	copy[0] = "changed";
	EXPECT_EQ(String("x"), big[0]);

	Array<String> moved(std::move(copy));
	EXPECT_EQ(0, copy.size());
	EXPECT_EQ(String("changed"), moved[0]);
}

TEST(Array, PtrElementsHoldOneReferenceEach)
{
	CountedObject::live() = 0;
	{
		Array<Ptr<CountedObject>> a;
		for (int i = 0; i < 9; ++i)
			a.add(new CountedObject(i));
		EXPECT_EQ(1, a[0]->references());
		{
			Array<Ptr<CountedObject>> copy(a);
			EXPECT_EQ(2, a[8]->references());
		}
		EXPECT_EQ(1, a[8]->references());

		a.remove(0);
		EXPECT_EQ(8, CountedObject::live());
		a.resize(2);
		EXPECT_EQ(2, CountedObject::live());
		a.clear();
		EXPECT_EQ(0, CountedObject::live());
		a.add(new CountedObject);
	}
	EXPECT_EQ(0, CountedObject::live());
}

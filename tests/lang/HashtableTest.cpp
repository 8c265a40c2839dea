#include <lang/Hashtable.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <support/CountedObject.h>
#include <gtest/gtest.h>
#include <climits>
#include <map>

using namespace lang;

namespace
{

typedef Hashtable<int, int> IntTable;

// Keys of bucket 1 in a table of 37 buckets.
const int B1 = 1, B1_SECOND = 38, B1_THIRD = 75, B1_FOURTH = 112, B1_FIFTH = 149;

std::map<int, int> entries(const IntTable& t)
{
	std::map<int, int> m;
	for (const auto& pair : t)
		EXPECT_TRUE(m.emplace(pair.key, pair.value).second) << "key visited twice: " << pair.key;
	return m;
}

} // namespace

TEST(Hashtable, BucketCountLadder)
{
	const struct { int n; int next; } cases[] = {
		{-5, 37}, {0, 37}, {36, 37}, {37, 67}, {67, 131}, {131, 257}, {257, 521},
		{65543, 129403}, {129402, 129403}, {129403, 258807}, {258807, 388211}, {2147483600, 2147483647},
	};
	for (const auto& c : cases)
		EXPECT_EQ(c.next, Hashtable_getLargerInt(c.n)) << c.n;
}

TEST(Hashtable, KeysHashAndLandInBuckets)
{
	const struct { const char* key; int hash; int bucket; } strings[] = {
		{"abc", 96354, 6}, {"\xC3\xA9", -1978, 5}, {"", 0, 0},
	};
	for (const auto& c : strings)
	{
		EXPECT_EQ(c.hash, Hash<String>()(c.key)) << c.key;
		EXPECT_EQ(c.bucket, (Hashtable<String, int>::bucketIndex(c.key, 37))) << c.key;
	}
	EXPECT_EQ(35, IntTable::bucketIndex(-61, 37));
	EXPECT_EQ(65535, Hash<unsigned short>()(65535));
	EXPECT_EQ(IntTable::bucketIndex(-1, 67), (Hashtable<unsigned, int>::bucketIndex(0xFFFFFFFFu, 67)));

	IntTable t;
	t.put(-61, 5);
	t.put(INT_MIN, 6);
	EXPECT_EQ(5, t.get(-61));
	EXPECT_EQ(6, t.get(INT_MIN));
	Hashtable<String, int> s;
	s.put("", 1);
	s.put("abc", 2);
	EXPECT_EQ(1, s.get(""));
	EXPECT_EQ(2, s.get("abc"));
}

TEST(Hashtable, GrowsBeforeTheInsertionThatReachesTheLimit)
{
	IntTable t;
	EXPECT_EQ(0, t.bucketCount());
	t.put(0, 0);
	EXPECT_EQ(37, t.bucketCount());
	for (int i = 1; i < 26; ++i)
		t.put(i * 37, i);
	EXPECT_EQ(26, t.size());
	EXPECT_EQ(37, t.bucketCount());

	// Writing to a key already present grows too: the test precedes the lookup.
	t.put(0, 100);
	EXPECT_EQ(67, t.bucketCount());
	EXPECT_EQ(26, t.size());
	EXPECT_EQ(100, t.get(0));
	for (int i = 1; i < 26; ++i)
		EXPECT_EQ(i, t.get(i * 37)) << i;
	EXPECT_EQ(26u, entries(t).size());

	for (int i = 26; i < 49; ++i)
		t[i * 37] = i;
	EXPECT_EQ(67, t.bucketCount());
	t[-1];
	EXPECT_EQ(131, t.bucketCount());
	EXPECT_EQ(50, t.size());
}

TEST(Hashtable, AbsentKeysReadAsDefaultWithoutChangingTheCount)
{
	Hashtable<String, String> empty;
	EXPECT_TRUE(empty.get("x").isEmpty());
	EXPECT_FALSE(empty.containsKey("x"));
	EXPECT_EQ(0, empty.bucketCount());

	IntTable t;
	t.put(B1, 10);
	t.put(B1_SECOND, 20);
	EXPECT_EQ(1, t.chainAllocations());

	// A failed lookup in a bucket without a vacant pair adds one, and the next one reuses it.
	EXPECT_EQ(0, t.get(B1_THIRD));
	EXPECT_EQ(2, t.chainAllocations());
	EXPECT_FALSE(t.containsKey(B1_FOURTH));
	EXPECT_EQ(2, t.chainAllocations());
	EXPECT_EQ(2, t.size());
	EXPECT_EQ((std::map<int, int>{{B1, 10}, {B1_SECOND, 20}}), entries(t));
}

TEST(Hashtable, RemovedAndClearedPairsAreTakenAgain)
{
	IntTable t;
	t.put(B1, 10);
	t.put(B1_SECOND, 20);
	t.put(B1_THIRD, 30);
	EXPECT_EQ(2, t.chainAllocations());

	t.remove(12345);
	t.remove(B1);
	EXPECT_EQ(2, t.size());
	EXPECT_EQ(0, t.get(B1));
	t.put(B1_FOURTH, 40);
	EXPECT_EQ(2, t.chainAllocations());

	t.remove(B1_SECOND);
	EXPECT_EQ((std::map<int, int>{{B1_THIRD, 30}, {B1_FOURTH, 40}}), entries(t));
	t.put(B1_FIFTH, 50);
	EXPECT_EQ(3, t.chainAllocations());

	t.clear();
	EXPECT_EQ(0, t.size());
	EXPECT_EQ(37, t.bucketCount());
	EXPECT_TRUE(entries(t).empty());
	t.put(B1_THIRD, 3);
	t.put(B1_FOURTH, 4);
	t.put(B1_FIFTH, 5);
	EXPECT_EQ(3, t.chainAllocations());
	EXPECT_EQ((std::map<int, int>{{B1_THIRD, 3}, {B1_FOURTH, 4}, {B1_FIFTH, 5}}), entries(t));
}

TEST(Hashtable, AssignmentCopiesEntries)
{
	IntTable source;
	for (int i = 0; i < 40; ++i)
		source.put(i * 3, i);

	IntTable target;
	target.put(7, 7);
	target = source;
	EXPECT_EQ(entries(source), entries(target));
	EXPECT_EQ(source.bucketCount(), target.bucketCount());
	target.put(0, -1);
	EXPECT_EQ(0, source.get(0));

	const IntTable& self = target;
	target = self;
	EXPECT_EQ(40, target.size());
	EXPECT_EQ(-1, target.get(0));

	IntTable copy(target);
	EXPECT_EQ(entries(target), entries(copy));

	target = IntTable();
	EXPECT_EQ(0, target.bucketCount());
	EXPECT_EQ(0, target.size());
}

TEST(Hashtable, PtrValuesAreReleased)
{
	CountedObject::live() = 0;
	{
		Hashtable<String, Ptr<CountedObject>> t;
		for (int i = 0; i < 60; ++i)
			t.put(String("object") + String(std::to_string(i).c_str()), new CountedObject(i));
		EXPECT_EQ(60, CountedObject::live());
		EXPECT_EQ(1, t.get("object7")->references());

		t.remove("object7");
		EXPECT_EQ(59, CountedObject::live());
		EXPECT_EQ(nullptr, t.get("object7").ptr());

		t.clear();
		EXPECT_EQ(0, CountedObject::live());
		t.put("kept", new CountedObject);
	}
	EXPECT_EQ(0, CountedObject::live());
}

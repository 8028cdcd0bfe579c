// Dense arrays of the spring model: shapes, zero fill, copies and clones.
#include <gtest/gtest.h>

#include <memory>

#include "data/kwonedar.h"
#include "data/kwtwodar.h"

namespace {

double valueAt(int i, int j = 0) { return 1.5 + i * 10.0 + j * 0.25; }

void fill(KWOneDArray& a, int row = 0) {
  for (int j = 0; j < a.dimension(); ++j) a[j] = row < 0 ? valueAt(j) : valueAt(row, j);
}
void fill(KWTwoDArray& m) {
  for (int i = 0; i < m.dimension(); ++i) fill(m[i], i);
}
bool allZero(const KWOneDArray& a) {
  for (int i = 0; i < a.dimension(); ++i)
    if (a[i] != 0.0) return false;
  return true;
}
bool allZero(const KWTwoDArray& m) {
  for (int i = 0; i < m.dimension(); ++i)
    if (!allZero(m[i])) return false;
  return true;
}
bool holdsValues(const KWOneDArray& a, int n) {
  if (a.dimension() != n) return false;
  for (int i = 0; i < n; ++i)
    if (a[i] != valueAt(i)) return false;
  return true;
}
void expectSameContents(const KWTwoDArray& a, const KWTwoDArray& b) {
  ASSERT_EQ(a.dimension(), b.dimension());
  for (int i = 0; i < a.dimension(); ++i) {
    ASSERT_EQ(a[i].dimension(), b[i].dimension()) << "row " << i;
    for (int j = 0; j < a[i].dimension(); ++j) EXPECT_EQ(a[i][j], b[i][j]) << i << "," << j;
  }
}

TEST(OneDArray, ShapesZeroFillAndNegativeCounts) {
  EXPECT_EQ(KWOneDArray().dimension(), 0);
  KWOneDArray a(3);
  ASSERT_EQ(a.dimension(), 3);
  EXPECT_TRUE(allZero(a));
  for (int n : {3, 2, 7, 0}) {  // a resize discards the values, even at the same length
    fill(a, -1);
    a.resize(n);
    EXPECT_EQ(a.dimension(), n);
    EXPECT_TRUE(allZero(a));
  }
  // A negative count is kept, without elements, until emptied; a copy takes it.
  a.resize(-2);
  EXPECT_EQ(a.dimension(), -2);
  KWOneDArray c(4);
  c = a;
  EXPECT_EQ(c.dimension(), -2);
  a.empty();
  EXPECT_EQ(a.dimension(), 0);
}

TEST(OneDArray, DeepCopiesTakeValuesAttributeCopiesOnlyTheLength) {
  KWOneDArray src(3);
  fill(src, -1);
  for (int targetLength : {0, 2, 3, 9}) {
    KWOneDArray dst(targetLength);
    dst.copyObject(&src);
    EXPECT_TRUE(holdsValues(dst, 3)) << targetLength;
    dst[0] = -1.0;  // the copy owns its elements
    EXPECT_EQ(src[0], valueAt(0));
  }
  KWOneDArray same(3), other(2);
  same[0] = 7.0;
  same.copyAttributes(&src);  // equal length: values kept
  other.copyAttributes(&src);  // other length: the source's, zero-filled
  EXPECT_EQ(same[0], 7.0);
  EXPECT_TRUE(other.dimension() == 3 && allZero(other));
  KWOneDArray deep(src), attrs(src, KWAttributeCopy);
  std::unique_ptr<KWOneDArray> shape(src.cloneAttributes());
  EXPECT_TRUE(holdsValues(deep, 3));
  EXPECT_TRUE(attrs.dimension() == 3 && allZero(attrs) && shape->dimension() == 3 && allZero(*shape));
  const KWObject& asRoot = src;  // cloning through the root class gives this class
  std::unique_ptr<KWObject> viaRoot(asRoot.cloneObject());
  ASSERT_NE(dynamic_cast<KWOneDArray*>(viaRoot.get()), nullptr);
  EXPECT_TRUE(holdsValues(*KWOneDArray::castDown(viaRoot.get()), 3));
  // Copies from itself or from nothing change nothing.
  KWOneDArray& self = src;
  src = self;
  src.copyObject(&src);
  src.copyAttributes(nullptr);
  EXPECT_TRUE(holdsValues(src, 3));
}

TEST(TwoDArray, CopiesReshapeToTheSourceAttributeCopiesTakeOnlyTheShape) {
  KWTwoDArray src;
  src.resize(3, 2);
  src[1].resize(5);  // ragged rows
  src[2].resize(0);
  fill(src);
  for (int rows : {0, 1, 3, 5})
    for (int cols : {0, 2, 6}) {
      KWTwoDArray dst;
      dst.resize(rows, cols);
      if (cols == 2) dst = src;
      else dst.copyObject(&src);
      expectSameContents(dst, src);
    }
  KWTwoDArray reference(src);
  KWTwoDArray& self = src;
  src = self;
  src.copyObject(&src);
  src.copyAttributes(&src);
  src.copyObject(nullptr);
  expectSameContents(src, reference);
  KWTwoDArray equalRows;  // equal row counts: nothing changes, not even the column count
  equalRows.resize(3, 4);
  fill(equalRows);
  equalRows.copyAttributes(&src);
  ASSERT_EQ(equalRows.dimension(), 3);
  ASSERT_EQ(equalRows[2].dimension(), 4);
  EXPECT_EQ(equalRows[2][3], valueAt(2, 3));
  for (KWTwoDArray* target : {new KWTwoDArray(src, KWAttributeCopy), src.cloneAttributes()}) {
    ASSERT_EQ(target->dimension(), 3);
    EXPECT_EQ((*target)[0].dimension(), 2);
    EXPECT_TRUE(allZero(*target));
    delete target;
  }
}

// The rows share one block, mapped from the system once it is large: rows must
// not overlap, a refilled matrix must read zero again, and a row resized on
// its own must leave the block without freeing or corrupting it (the sanitizer
// run catches a row freeing its part of the block).
TEST(TwoDArray, BlockRowsAreDisjointZeroedAndSurviveSingleRowResizes) {
  for (int n : {3, 700}) {  // a heap block and a mapped one (700² doubles > 2 MiB)
    KWTwoDArray m;
    m.resize(n, n);
    ASSERT_EQ(m.dimension(), n);
    EXPECT_TRUE(allZero(m));
    fill(m);
    for (int i = 0; i < n; ++i) ASSERT_EQ(m[i][n - 1], valueAt(i, n - 1)) << "row " << i << " overlaps another";
    std::unique_ptr<KWTwoDArray> copy(m.cloneObject());
    m[1].resize(n + 5);  // leaves the block
    fill(m[1], -1);
    EXPECT_TRUE(holdsValues(m[1], n + 5));
    EXPECT_EQ(m[2][0], valueAt(2, 0));
    m = *copy;  // the resized row takes the source's length back
    expectSameContents(m, *copy);
    m.resize(n, n);
    EXPECT_TRUE(allZero(m));
  }
}

}  // namespace

// Dense arrays of the spring model: shapes, zero fill, copies and clones.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "data/kwonedar.h"
#include "data/kwtwodar.h"

namespace {

double valueAt(int i, int j = 0) { return 1.5 + i * 10.0 + j * 0.25; }

void fill(KWOneDArray& a) {
  for (int i = 0; i < a.dimension(); ++i) a[i] = valueAt(i);
}
void fill(KWTwoDArray& m) {
  for (int i = 0; i < m.dimension(); ++i)
    for (int j = 0; j < m[i].dimension(); ++j) m[i][j] = valueAt(i, j);
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

// ---- KWOneDArray ------------------------------------------------------------------

TEST(OneDArray, ConstructionGivesContiguousZeroFilledElements) {
  EXPECT_EQ(KWOneDArray().dimension(), 0);
  EXPECT_EQ(KWOneDArray(0).dimension(), 0);
  KWOneDArray three(3);
  ASSERT_EQ(three.dimension(), 3);
  EXPECT_TRUE(allZero(three));
  fill(three);
  EXPECT_TRUE(holdsValues(three, 3));
  EXPECT_EQ(&three[2] - &three[0], 2);
}

TEST(OneDArray, ResizeDiscardsValuesEvenAtTheSameLength) {
  KWOneDArray a(5);
  for (int n : {5, 2, 7, 0}) {
    fill(a);
    a.resize(n);
    EXPECT_EQ(a.dimension(), n);
    EXPECT_TRUE(allZero(a));
  }
}

TEST(OneDArray, NegativeCountIsKeptWithoutElementsUntilEmptied) {
  KWOneDArray a(3);
  a.resize(-2);
  EXPECT_EQ(a.dimension(), -2);
  a.empty();
  EXPECT_EQ(a.dimension(), 0);
  // Copying such an array copies its count and touches no element.
  KWOneDArray negative(-1);
  KWOneDArray c(4);
  c = negative;
  EXPECT_EQ(c.dimension(), -1);
}

TEST(OneDArray, DeepCopyTakesLengthAndValues) {
  KWOneDArray src(4);
  fill(src);
  for (int targetLength : {0, 2, 4, 9}) {
    KWOneDArray dst(targetLength);
    dst.copyObject(&src);
    EXPECT_TRUE(holdsValues(dst, 4)) << targetLength;
    dst[0] = -1.0;  // the copy owns its elements
    EXPECT_EQ(src[0], valueAt(0));
  }
}

TEST(OneDArray, AttributeCopyKeepsValuesOfEqualLengthAndZeroesOtherwise) {
  KWOneDArray src(3);
  fill(src);
  KWOneDArray same(3);
  same[0] = 7.0;
  same[2] = 9.0;
  same.copyAttributes(&src);
  ASSERT_EQ(same.dimension(), 3);
  EXPECT_EQ(same[0], 7.0);
  EXPECT_EQ(same[1], 0.0);
  EXPECT_EQ(same[2], 9.0);
  KWOneDArray other(2);
  other[0] = 7.0;
  other.copyAttributes(&src);
  EXPECT_EQ(other.dimension(), 3);
  EXPECT_TRUE(allZero(other));
}

TEST(OneDArray, CopyConstructorAndClonesCarryValuesOrOnlyTheShape) {
  KWOneDArray src(3);
  fill(src);
  KWOneDArray deep(src);
  KWOneDArray attrs(src, KWAttributeCopy);
  std::unique_ptr<KWOneDArray> whole(src.cloneObject());
  std::unique_ptr<KWOneDArray> shape(src.cloneAttributes());
  EXPECT_TRUE(holdsValues(deep, 3));
  EXPECT_TRUE(holdsValues(*whole, 3));
  EXPECT_EQ(attrs.dimension(), 3);
  EXPECT_TRUE(allZero(attrs));
  EXPECT_EQ(shape->dimension(), 3);
  EXPECT_TRUE(allZero(*shape));
  // Cloning through the root class gives an object of this class too.
  const KWObject& asRoot = src;
  std::unique_ptr<KWObject> viaRoot(asRoot.cloneObject());
  ASSERT_NE(dynamic_cast<KWOneDArray*>(viaRoot.get()), nullptr);
  EXPECT_TRUE(holdsValues(*KWOneDArray::castDown(viaRoot.get()), 3));
}

TEST(ArraySelfCopies, SelfAndNullCopiesChangeNothing) {
  KWOneDArray a(3);
  fill(a);
  KWOneDArray& selfA = a;
  a = selfA;
  a.copyObject(&a);
  a.copyAttributes(&a);
  a.copyObject(nullptr);
  a.copyAttributes(nullptr);
  EXPECT_TRUE(holdsValues(a, 3));

  KWTwoDArray m;
  m.resize(3, 3);
  fill(m);
  KWTwoDArray reference(m);
  KWTwoDArray& selfM = m;
  m = selfM;
  m.copyObject(&m);
  m.copyAttributes(&m);
  m.copyObject(nullptr);
  expectSameContents(m, reference);
}

// ---- KWTwoDArray ------------------------------------------------------------------

TEST(TwoDArray, ResizeGivesZeroFilledRowsOfEqualLength) {
  KWTwoDArray m;
  EXPECT_EQ(m.dimension(), 0);
  m.resize(2, 3);
  ASSERT_EQ(m.dimension(), 2);
  EXPECT_EQ(m[0].dimension(), 3);
  EXPECT_EQ(m[1].dimension(), 3);
  EXPECT_TRUE(allZero(m));
  m[1][2] = 5.0;  // row first, then column
  EXPECT_EQ(m[1][2], 5.0);
  EXPECT_EQ(m[0][2], 0.0);
  fill(m);
  m.resize(2, 3);
  EXPECT_TRUE(allZero(m));
  m.resize(0, 0);
  EXPECT_EQ(m.dimension(), 0);
  m.resize(4, 4);
  m.empty();
  EXPECT_EQ(m.dimension(), 0);
}

TEST(TwoDArray, DeepCopyOfAnEmptyArrayLeavesTheTargetEmpty) {
  KWTwoDArray src;
  KWTwoDArray dst;
  dst.resize(3, 3);
  fill(dst);
  dst = src;
  EXPECT_EQ(dst.dimension(), 0);
}

TEST(TwoDArray, DeepCopyReshapesToTheSourceIncludingRaggedRows) {
  KWTwoDArray src;
  src.resize(3, 2);
  fill(src);
  for (int rows : {0, 1, 3, 5}) {
    for (int cols : {0, 2, 6}) {
      KWTwoDArray dst;
      dst.resize(rows, cols);
      dst.copyObject(&src);
      expectSameContents(dst, src);
    }
  }
  src[1].resize(5);
  src[2].resize(0);
  fill(src);
  for (int rows : {3, 1}) {
    KWTwoDArray dst;
    dst.resize(rows, 2);
    dst = src;
    expectSameContents(dst, src);
  }
}

TEST(TwoDArray, AttributeCopyTakesOnlyTheShape) {
  KWTwoDArray src;
  src.resize(2, 4);
  fill(src);
  // Equal row counts: nothing changes, not even the column count.
  KWTwoDArray equalRows;
  equalRows.resize(2, 3);
  fill(equalRows);
  equalRows.copyAttributes(&src);
  ASSERT_EQ(equalRows.dimension(), 2);
  EXPECT_EQ(equalRows[0].dimension(), 3);
  EXPECT_EQ(equalRows[1][2], valueAt(1, 2));
  // Other row counts: the source's shape, all zero.
  for (KWTwoDArray* target : {new KWTwoDArray(src, KWAttributeCopy), src.cloneAttributes()}) {
    ASSERT_EQ(target->dimension(), 2);
    EXPECT_EQ((*target)[1].dimension(), 4);
    EXPECT_TRUE(allZero(*target));
    delete target;
  }
  std::unique_ptr<KWTwoDArray> whole(src.cloneObject());
  expectSameContents(*whole, src);
}

// Square matrices of every size the layout uses for small components, copied
// in every direction: the copy always matches its source and a resize zeroes.
TEST(TwoDArray, SquareMatrixSweepKeepsCopiesExactAndResizesZeroed) {
  std::uint32_t state = 12345u;
  std::vector<KWTwoDArray> ms(14);
  for (int n = 0; n < 14; ++n) {
    ms[n].resize(n, n);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        state = state * 1664525u + 1013904223u;
        ms[n][i][j] = static_cast<double>(state >> 8) / 65536.0 - 128.0;
      }
  }
  for (int a = 0; a < 14; ++a) {
    for (int b = 0; b < 14; ++b) {
      KWTwoDArray target(ms[b]);
      target = ms[a];
      expectSameContents(target, ms[a]);
      target.resize(b, b);
      ASSERT_EQ(target.dimension(), b);
      EXPECT_TRUE(allZero(target));
    }
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
    KWTwoDArray copy(m);
    m[1].resize(n + 5);  // leaves the block
    fill(m[1]);
    EXPECT_TRUE(holdsValues(m[1], n + 5));
    EXPECT_EQ(m[2][0], valueAt(2, 0));
    m = copy;  // the resized row takes the source's length back
    expectSameContents(m, copy);
    m.resize(n, n);
    EXPECT_TRUE(allZero(m));
  }
}

}  // namespace

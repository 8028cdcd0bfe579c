// Dense arrays of the spring model: shapes, zero fill, copies and clones.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "data/kwonedar.h"
#include "data/kwtwodar.h"

namespace {

// Distinct, non-zero test values.
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

void expectSameContents(const KWTwoDArray& a, const KWTwoDArray& b) {
  ASSERT_EQ(a.dimension(), b.dimension());
  for (int i = 0; i < a.dimension(); ++i) {
    ASSERT_EQ(a[i].dimension(), b[i].dimension()) << "row " << i;
    for (int j = 0; j < a[i].dimension(); ++j) EXPECT_EQ(a[i][j], b[i][j]) << i << "," << j;
  }
}

// ---- KWOneDArray ------------------------------------------------------------------

TEST(OneDArray, ConstructionGivesZeroFilledElements) {
  KWOneDArray none;
  KWOneDArray zero(0);
  KWOneDArray three(3);
  EXPECT_EQ(none.dimension(), 0);
  EXPECT_EQ(zero.dimension(), 0);
  ASSERT_EQ(three.dimension(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(three[i], 0.0);
}

TEST(OneDArray, ElementsAreContiguousAndWritable) {
  KWOneDArray a(4);
  fill(a);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(a[i], valueAt(i));
  EXPECT_EQ(&a[3] - &a[0], 3);
}

TEST(OneDArray, ResizeDiscardsValuesEvenAtTheSameLength) {
  KWOneDArray a(5);
  fill(a);
  a.resize(5);
  EXPECT_EQ(a.dimension(), 5);
  EXPECT_TRUE(allZero(a));
  fill(a);
  a.resize(2);
  EXPECT_EQ(a.dimension(), 2);
  EXPECT_TRUE(allZero(a));
  a.resize(7);
  EXPECT_EQ(a.dimension(), 7);
  EXPECT_TRUE(allZero(a));
}

TEST(OneDArray, NegativeCountIsKeptWithoutElementsUntilEmptied) {
  KWOneDArray a(3);
  a.resize(-2);
  EXPECT_EQ(a.dimension(), -2);
  a.empty();
  EXPECT_EQ(a.dimension(), 0);
  KWOneDArray b(-1);
  EXPECT_EQ(b.dimension(), -1);
  // Copying such an array copies its count and touches no element.
  KWOneDArray c(4);
  c = b;
  EXPECT_EQ(c.dimension(), -1);
}

TEST(OneDArray, DeepCopyTakesLengthAndValues) {
  KWOneDArray src(4);
  fill(src);
  for (int targetLength : {0, 2, 4, 9}) {
    KWOneDArray dst(targetLength);
    dst.copyObject(&src);
    ASSERT_EQ(dst.dimension(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(dst[i], valueAt(i));
    // The copy owns its elements.
    dst[0] = -1.0;
    EXPECT_EQ(src[0], valueAt(0));
  }
}

TEST(OneDArray, AttributeCopyOfEqualLengthKeepsTargetValues) {
  KWOneDArray src(3);
  fill(src);
  KWOneDArray dst(3);
  dst[0] = 7.0;
  dst[1] = 8.0;
  dst[2] = 9.0;
  dst.copyAttributes(&src);
  ASSERT_EQ(dst.dimension(), 3);
  EXPECT_EQ(dst[0], 7.0);
  EXPECT_EQ(dst[1], 8.0);
  EXPECT_EQ(dst[2], 9.0);
}

TEST(OneDArray, AttributeCopyOfOtherLengthLeavesZerosAtSourceLength) {
  KWOneDArray src(5);
  fill(src);
  KWOneDArray dst(2);
  dst[0] = 7.0;
  dst[1] = 8.0;
  dst.copyAttributes(&src);
  EXPECT_EQ(dst.dimension(), 5);
  EXPECT_TRUE(allZero(dst));
}

TEST(OneDArray, SelfAndNullCopiesChangeNothing) {
  KWOneDArray a(3);
  fill(a);
  KWOneDArray& self = a;
  a = self;
  a.copyObject(&a);
  a.copyAttributes(&a);
  a.copyObject(nullptr);
  a.copyAttributes(nullptr);
  ASSERT_EQ(a.dimension(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(a[i], valueAt(i));
}

TEST(OneDArray, CopyConstructorHonoursTheFlag) {
  KWOneDArray src(3);
  fill(src);
  KWOneDArray deep(src);
  KWOneDArray attrs(src, KWAttributeCopy);
  ASSERT_EQ(deep.dimension(), 3);
  ASSERT_EQ(attrs.dimension(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(deep[i], valueAt(i));
  EXPECT_TRUE(allZero(attrs));
}

TEST(OneDArray, ClonesCarryValuesOrOnlyTheShape) {
  KWOneDArray src(3);
  fill(src);
  std::unique_ptr<KWOneDArray> whole(src.cloneObject());
  std::unique_ptr<KWOneDArray> shape(src.cloneAttributes());
  ASSERT_EQ(whole->dimension(), 3);
  ASSERT_EQ(shape->dimension(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ((*whole)[i], valueAt(i));
  EXPECT_TRUE(allZero(*shape));
  // Cloning through the root class gives an object of this class too.
  const KWObject& asRoot = src;
  std::unique_ptr<KWObject> viaRoot(asRoot.cloneObject());
  ASSERT_NE(dynamic_cast<KWOneDArray*>(viaRoot.get()), nullptr);
  EXPECT_EQ(KWOneDArray::castDown(viaRoot.get())->dimension(), 3);
}

// ---- KWTwoDArray ------------------------------------------------------------------

TEST(TwoDArray, ResizeGivesZeroFilledRowsOfEqualLength) {
  KWTwoDArray m;
  EXPECT_EQ(m.dimension(), 0);
  m.resize(2, 3);
  ASSERT_EQ(m.dimension(), 2);
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(m[i].dimension(), 3);
    for (int j = 0; j < 3; ++j) EXPECT_EQ(m[i][j], 0.0);
  }
  fill(m);
  m.resize(2, 3);
  EXPECT_TRUE(allZero(m));
  m.resize(0, 0);
  EXPECT_EQ(m.dimension(), 0);
}

TEST(TwoDArray, RowsAreIndependentAndIndexedRowThenColumn) {
  KWTwoDArray m;
  m.resize(3, 4);
  m[1][2] = 5.0;
  EXPECT_EQ(m[1][2], 5.0);
  EXPECT_EQ(m[2][1], 0.0);
  m[0].resize(1);
  EXPECT_EQ(m[0].dimension(), 1);
  EXPECT_EQ(m[1].dimension(), 4);
}

TEST(TwoDArray, EmptyReleasesEveryRow) {
  KWTwoDArray m;
  m.resize(4, 4);
  fill(m);
  m.empty();
  EXPECT_EQ(m.dimension(), 0);
  m.resize(1, 2);
  EXPECT_EQ(m.dimension(), 1);
  EXPECT_TRUE(allZero(m));
}

TEST(TwoDArray, DeepCopyOfAnEmptyArrayLeavesTheTargetEmpty) {
  KWTwoDArray src;
  KWTwoDArray dst;
  dst.resize(3, 3);
  fill(dst);
  dst = src;
  EXPECT_EQ(dst.dimension(), 0);
}

TEST(TwoDArray, DeepCopyReshapesToTheSource) {
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
}

TEST(TwoDArray, DeepCopyCarriesRaggedRows) {
  KWTwoDArray src;
  src.resize(3, 2);
  src[1].resize(5);
  src[2].resize(0);
  fill(src);
  KWTwoDArray sameRows;
  sameRows.resize(3, 2);
  sameRows = src;
  expectSameContents(sameRows, src);
  KWTwoDArray otherRows;
  otherRows.resize(1, 1);
  otherRows = src;
  expectSameContents(otherRows, src);
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
  KWTwoDArray otherRows;
  otherRows.resize(5, 1);
  fill(otherRows);
  otherRows.copyAttributes(&src);
  ASSERT_EQ(otherRows.dimension(), 2);
  EXPECT_EQ(otherRows[0].dimension(), 4);
  EXPECT_EQ(otherRows[1].dimension(), 4);
  EXPECT_TRUE(allZero(otherRows));
}

TEST(TwoDArray, SelfAndNullCopiesChangeNothing) {
  KWTwoDArray m;
  m.resize(3, 3);
  fill(m);
  KWTwoDArray reference(m);
  KWTwoDArray& self = m;
  m = self;
  m.copyObject(&m);
  m.copyAttributes(&m);
  m.copyObject(nullptr);
  expectSameContents(m, reference);
}

TEST(TwoDArray, ClonesCarryValuesOrOnlyTheShape) {
  KWTwoDArray src;
  src.resize(2, 3);
  fill(src);
  std::unique_ptr<KWTwoDArray> whole(src.cloneObject());
  std::unique_ptr<KWTwoDArray> shape(src.cloneAttributes());
  expectSameContents(*whole, src);
  ASSERT_EQ(shape->dimension(), 2);
  EXPECT_EQ((*shape)[1].dimension(), 3);
  EXPECT_TRUE(allZero(*shape));
  KWTwoDArray fromFlag(src, KWAttributeCopy);
  EXPECT_EQ(fromFlag.dimension(), 2);
  EXPECT_TRUE(allZero(fromFlag));
}

// Square matrices of every size the layout uses for small components, filled
// and refilled, copied in every direction: the copy always matches its source
// and a resize always zeroes.
TEST(TwoDArray, SquareMatrixSweepKeepsCopiesExactAndResizesZeroed) {
  std::uint32_t state = 12345u;
  auto next = [&state]() {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / 65536.0 - 128.0;
  };
  std::vector<KWTwoDArray> ms(14);
  for (int n = 0; n < 14; ++n) {
    ms[n].resize(n, n);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) ms[n][i][j] = next();
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

}  // namespace

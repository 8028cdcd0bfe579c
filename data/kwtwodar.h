// KWTwoDArray: a dense matrix of doubles held as an array of KWOneDArray rows.
//
// Element (i, j) is array[i][j]. No column count is stored: each row knows its
// own length. resize() gives every row the same length; a caller may still
// resize a single row through operator[]. Copies take the column count from
// the source's first row. No operation checks an index.
//
// The rows of one resize() share a single zero-filled block (rows × cols
// doubles, row after row), so a matrix costs one allocation rather than one
// per row. Large blocks are mapped straight from the system, which hands them
// out already zeroed and, where it can, backs them with huge pages; nothing is
// written until the matrix is filled.
#ifndef KWTWODAR_H
#define KWTWODAR_H

#include "module/kwsexport.h"
#include <cstddef>

#include "data/kwonedar.h"
#include "host/kwobject.h"
#include "module/kwsjava.h"
#include "module/kwscopy.h"

class KWS_EXPORT KWTwoDArray : public KWObject {
 public:
  KWTwoDArray();
  KWS_COPY_MEMBERS_DECL(KWTwoDArray)
  ~KWTwoDArray() override;

  // Copy and clone protocol. A deep copy takes the source's shape and every
  // row; an attribute copy takes the shape only when the row counts differ.
  void debugOutput(int) const override {}
  KWS_JAVA_PEER_DECL

  /// Frees every row; the array then has no rows.
  void empty();
  /// Discards the old values and makes rows rows of cols elements, all 0.0.
  void resize(int rows, int cols);
  /// The row count.
  int dimension() const { return rowCount_; }
  /// Row i, unchecked.
  KWOneDArray& operator[](int i) { return rows_[i]; }
  const KWOneDArray& operator[](int i) const { return rows_[i]; }

 protected:
  void init() { init(0, 0); }
  KWS_CLONE_MEMBERS_DECL(KWTwoDArray)

 private:
  void init(int rows, int cols);
  KWS_COPY_PARTS_DECL(KWTwoDArray)
  /// The element count of the first row, 0 without rows.
  int firstRowLength() const { return rows_ ? rows_[0].dimension() : 0; }

  /// Frees the row block, if any.
  void releaseBlock();

  int rowCount_;
  KWOneDArray* rows_;
  double* block_ = nullptr;
  std::size_t blockBytes_ = 0;
  bool blockMapped_ = false;  // block_ came from mmap, not calloc
};

#endif

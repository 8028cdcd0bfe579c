// KWOneDArray: a fixed-length array of doubles, one row of the spring matrices.
//
// A plain container: no bounds checks, no growth in place. Every change of
// length goes through empty() and init(), which discards the old values and
// fills the new elements with 0.0. The elements are contiguous; the pointer is
// null whenever the element count is below 1.
//
// The rows of a KWTwoDArray live in one block that the matrix owns: such a row
// only refers to its part of the block. A row that changes length leaves the
// block and holds elements of its own from then on.
#ifndef KWONEDAR_H
#define KWONEDAR_H

#include "module/kwsexport.h"
#include "host/kwobject.h"
#include "module/kwsjava.h"
#include "module/kwscopy.h"

class KWS_EXPORT KWOneDArray : public KWObject {
 public:
  KWOneDArray();
  /// n elements, all 0.0.
  explicit KWOneDArray(int n);
  KWS_COPY_MEMBERS_DECL(KWOneDArray)
  ~KWOneDArray() override;

  // Copy and clone protocol. A deep copy takes the source's length and values;
  // an attribute copy takes its length only (values are reset to 0.0 only when
  // the length changes).
  void debugOutput(int) const override {}
  KWS_JAVA_PEER_DECL

  /// Frees the elements; the array is then empty (count 0).
  void empty();
  /// Discards the old values (also when n equals the current length) and
  /// makes n elements of 0.0. With n below 1 the array holds no elements and
  /// the count keeps n until the next empty().
  void resize(int n);
  /// The element count.
  int dimension() const { return count_; }
  /// Element i, unchecked.
  double& operator[](int i) { return elements_[i]; }
  double operator[](int i) const { return elements_[i]; }

 protected:
  void init() { init(0); }
  KWS_CLONE_MEMBERS_DECL(KWOneDArray)

 private:
  void init(int n);
  KWS_COPY_PARTS_DECL(KWOneDArray)
  /// Makes the array refer to n elements it does not own (a matrix row).
  void refer(double* elements, int n);

  friend class KWTwoDArray;

  int count_;
  double* elements_;
  bool owned_ = true;  // whether empty() frees elements_
};

#endif

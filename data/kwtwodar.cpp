#include "data/kwtwodar.h"

#include <new>

KWS_JAVA_PEER_DEF(KWTwoDArray, "com/brackwind/jnilayout/KWTwoDArray", "kwtwodar")

KWTwoDArray::KWTwoDArray() : KWObject() { init(); }

KWTwoDArray::KWTwoDArray(const KWTwoDArray& source, KWDeepFlagEnum flag) : KWObject() {
  init();
  if (flag == KWDeepCopy) KWTwoDArraydeepCopy(source);
  else KWTwoDArrayattributeCopy(source);
}

KWTwoDArray& KWTwoDArray::operator=(const KWTwoDArray& source) {
  if (this != &source) KWTwoDArraydeepCopy(source);
  return *this;
}

KWTwoDArray::~KWTwoDArray() { empty(); }

void KWTwoDArray::init(int rows, int cols) {
  rowCount_ = rows;
  rows_ = nullptr;
  if (rows < 1) return;
  rows_ = new (std::nothrow) KWOneDArray[static_cast<std::size_t>(rows)];
  if (!rows_) {
    rowCount_ = 0;
    return;
  }
  bool complete = true;
  for (int i = 0; i < rows; ++i) {
    rows_[i].resize(cols);
    if (cols >= 1 && rows_[i].dimension() != cols) complete = false;
  }
  // A matrix with some rows missing would be indexed out of bounds by its
  // users; when memory runs out part way it is left with no rows at all.
  if (!complete) empty();
}

void KWTwoDArray::empty() {
  if (rows_) {
    for (int i = 0; i < rowCount_; ++i) rows_[i].resize(0);
    delete[] rows_;
    rows_ = nullptr;
  }
  rowCount_ = 0;
}

void KWTwoDArray::resize(int rows, int cols) {
  empty();
  init(rows, cols);
}

KWTwoDArray& KWTwoDArray::KWTwoDArraydeepCopy(const KWTwoDArray& source) {
  KWObject::operator=(source);
  if (rowCount_ != source.rowCount_) {
    empty();
    init(source.rowCount_, source.firstRowLength());
  }
  if (rows_)
    for (int i = 0; i < rowCount_; ++i) rows_[i] = source.rows_[i];
  return *this;
}

KWTwoDArray& KWTwoDArray::KWTwoDArrayattributeCopy(const KWTwoDArray& source) {
  KWObject::operator=(source);
  if (rowCount_ != source.rowCount_) {
    empty();
    init(source.rowCount_, source.firstRowLength());
  }
  return *this;
}

void KWTwoDArray::copyObject(const KWObject* source) {
  if (source && source != this) KWTwoDArraydeepCopy(*castDown(source));
}

void KWTwoDArray::copyAttributes(const KWObject* source) {
  if (source && source != this) KWTwoDArrayattributeCopy(*castDown(source));
}

KWObject* KWTwoDArray::vCloneObject() const { return new KWTwoDArray(*this, KWDeepCopy); }

KWObject* KWTwoDArray::vCloneAttributes() const { return new KWTwoDArray(*this, KWAttributeCopy); }

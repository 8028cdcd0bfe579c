#include "data/kwonedar.h"
#include "module/kwscopy.h"

#include <new>

KWS_JAVA_PEER_DEF(KWOneDArray, "com/brackwind/jnilayout/KWOneDArray", "kwonedar")

KWOneDArray::KWOneDArray() : KWObject() { init(); }

KWOneDArray::KWOneDArray(int n) : KWObject() { init(n); }

KWS_COPY_MEMBERS_DEF(KWOneDArray, KWObject)

KWOneDArray::~KWOneDArray() { empty(); }

void KWOneDArray::init(int n) {
  count_ = n;
  elements_ = nullptr;
  owned_ = true;
  if (n < 1) return;
  // Exact size, zero-filled element by element. When the memory cannot be had
  // the array stays empty rather than claiming elements it does not hold.
  elements_ = new (std::nothrow) double[static_cast<std::size_t>(n)];
  if (!elements_) {
    count_ = 0;
    return;
  }
  for (int i = 0; i < n; ++i) elements_[i] = 0.0;
}

void KWOneDArray::empty() {
  if (owned_) delete[] elements_;
  elements_ = nullptr;
  count_ = 0;
  owned_ = true;
}

void KWOneDArray::refer(double* elements, int n) {
  empty();
  elements_ = elements;
  count_ = elements ? n : 0;
  owned_ = false;
}

void KWOneDArray::resize(int n) {
  empty();
  init(n);
}

KWOneDArray& KWOneDArray::KWOneDArraydeepCopy(const KWOneDArray& source) {
  KWObject::operator=(source);
  if (count_ != source.count_) {
    empty();
    init(source.count_);
  }
  if (elements_)
    for (int i = 0; i < count_; ++i) elements_[i] = source.elements_[i];
  return *this;
}

KWOneDArray& KWOneDArray::KWOneDArrayattributeCopy(const KWOneDArray& source) {
  KWObject::operator=(source);
  if (count_ != source.count_) {
    empty();
    init(source.count_);
  }
  return *this;
}


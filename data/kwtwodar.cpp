#include "data/kwtwodar.h"
#include "module/kwscopy.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#if defined(__unix__)
#include <sys/mman.h>
#endif

namespace {

/// Blocks from this size on are mapped, not taken from the heap.
const std::size_t kMapFrom = std::size_t(1) << 21;

}  // namespace

KWS_JAVA_PEER_DEF(KWTwoDArray, "com/brackwind/jnilayout/KWTwoDArray", "kwtwodar")

KWTwoDArray::KWTwoDArray() : KWObject() { init(); }

KWS_COPY_MEMBERS_DEF(KWTwoDArray, KWObject)

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
  if (cols < 1) {
    // Rows without elements keep the count they were given, as a lone array does.
    for (int i = 0; i < rows; ++i) rows_[i].resize(cols);
    return;
  }
  const std::size_t perRow = static_cast<std::size_t>(cols);
  const std::size_t count = static_cast<std::size_t>(rows) * perRow;
  // A matrix with rows missing would be indexed out of bounds by its users;
  // when the memory cannot be had the matrix is left with no rows at all.
  if (count / perRow != static_cast<std::size_t>(rows) || count > SIZE_MAX / sizeof(double)) {
    empty();
    return;
  }
  blockBytes_ = count * sizeof(double);
#if defined(__unix__)
  if (blockBytes_ >= kMapFrom) {
    void* p = mmap(nullptr, blockBytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p != MAP_FAILED) {
      block_ = static_cast<double*>(p);
      blockMapped_ = true;
#if defined(MADV_HUGEPAGE)
      madvise(p, blockBytes_, MADV_HUGEPAGE);  // only advice; ignored where unsupported
#endif
    }
  }
#endif
  if (!block_) block_ = static_cast<double*>(std::calloc(count, sizeof(double)));
  if (!block_) {
    empty();
    return;
  }
  for (int i = 0; i < rows; ++i) rows_[i].refer(block_ + static_cast<std::size_t>(i) * perRow, cols);
}

void KWTwoDArray::releaseBlock() {
#if defined(__unix__)
  if (block_ && blockMapped_) munmap(block_, blockBytes_);
  else std::free(block_);
#else
  std::free(block_);
#endif
  block_ = nullptr;
  blockBytes_ = 0;
  blockMapped_ = false;
}

void KWTwoDArray::empty() {
  if (rows_) {
    for (int i = 0; i < rowCount_; ++i) rows_[i].resize(0);
    delete[] rows_;
    rows_ = nullptr;
  }
  releaseBlock();
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


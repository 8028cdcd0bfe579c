// Doubly linked lists of object pointers. A list never owns its objects unless
// deleteAllCellsAndObjects is called; deleteAllCells frees only the cells.
#ifndef KWDLIST_H
#define KWDLIST_H

#include "host/kwgeom.h"
#include "host/kwobject.h"

class KWDListCell {
 public:
  explicit KWDListCell(KWObject* object) : object_(object) {}
  KWObject* pObject() const { return object_; }
  KWDListCell* pNextCell() const { return next_; }
  KWDListCell* pPrevCell() const { return prev_; }

 private:
  friend class KWDList;
  KWObject* object_;
  KWDListCell* next_ = nullptr;
  KWDListCell* prev_ = nullptr;
};

/// A list of KWObject pointers. Copying a list copies its cells, not the objects.
class KWDList : public KWObject {
 public:
  KWDList() = default;
  KWDList(const KWDList& other);
  KWDList& operator=(const KWDList& other);
  ~KWDList() override;

  long length() const { return length_; }
  bool isEmpty() const { return length_ == 0; }
  KWDListCell* pFirstCell() const { return first_; }
  KWDListCell* pLastCell() const { return last_; }

  KWDListCell* append(KWObject* object);
  KWDListCell* prepend(KWObject* object);
  /// Inserts object after cell (at the front when cell is null).
  KWDListCell* insertAfter(KWDListCell* cell, KWObject* object);
  /// The first cell holding object, or null.
  KWDListCell* search(const KWObject* object) const;
  /// Unlinks and frees a cell of this list; answers its object.
  KWObject* deleteCell(KWDListCell* cell);
  /// Removes the first cell holding object; answers whether one was found.
  bool remove(const KWObject* object);
  /// Appends a cell for every object of other, in order.
  void copyAllCells(const KWDList& other);
  /// Frees every cell; the objects stay.
  void deleteAllCells();
  /// Frees every cell and deletes every object.
  void deleteAllCellsAndObjects();

 private:
  KWDListCell* first_ = nullptr;
  KWDListCell* last_ = nullptr;
  long length_ = 0;
};

/// Forward iterator over a list: true until finished, ++ advances.
/// The current cell may be deleted after the iterator has been advanced.
class KWDListIter {
 public:
  explicit KWDListIter(const KWDList& list) : cell_(list.pFirstCell()) {}
  explicit KWDListIter(const KWDList* list) : cell_(list ? list->pFirstCell() : nullptr) {}
  explicit operator bool() const { return cell_ != nullptr; }
  KWDListIter& operator++() { cell_ = cell_->pNextCell(); return *this; }
  KWObject* pObject() const { return cell_->pObject(); }
  KWDListCell* pCell() const { return cell_; }

 private:
  KWDListCell* cell_;
};

/// A list of points. The module's own point lists own their points and are
/// emptied with deleteAllCellsAndObjects.
class KWPointDList : public KWDList {
 public:
  void appendPoint(KWPoint* p) { append(p); }
};

class KWPointDListIter : public KWDListIter {
 public:
  using KWDListIter::KWDListIter;
  KWPoint* pPoint() const { return static_cast<KWPoint*>(pObject()); }
};

#endif

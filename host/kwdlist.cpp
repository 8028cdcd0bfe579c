#include "host/kwdlist.h"

KWDList::KWDList(const KWDList& other) : KWObject(other) { copyAllCells(other); }

KWDList& KWDList::operator=(const KWDList& other) {
  if (this != &other) {
    deleteAllCells();
    copyAllCells(other);
  }
  return *this;
}

KWDList::~KWDList() { deleteAllCells(); }

KWDListCell* KWDList::append(KWObject* object) { return insertAfter(last_, object); }

KWDListCell* KWDList::prepend(KWObject* object) { return insertAfter(nullptr, object); }

KWDListCell* KWDList::insertAfter(KWDListCell* cell, KWObject* object) {
  KWDListCell* c = new KWDListCell(object);
  if (cell == nullptr) {
    c->next_ = first_;
    if (first_) first_->prev_ = c;
    first_ = c;
    if (!last_) last_ = c;
  } else {
    c->prev_ = cell;
    c->next_ = cell->next_;
    if (cell->next_) cell->next_->prev_ = c; else last_ = c;
    cell->next_ = c;
  }
  ++length_;
  return c;
}

KWDListCell* KWDList::search(const KWObject* object) const {
  for (KWDListCell* c = first_; c; c = c->next_)
    if (c->object_ == object) return c;
  return nullptr;
}

KWObject* KWDList::deleteCell(KWDListCell* cell) {
  if (cell->prev_) cell->prev_->next_ = cell->next_; else first_ = cell->next_;
  if (cell->next_) cell->next_->prev_ = cell->prev_; else last_ = cell->prev_;
  KWObject* o = cell->object_;
  delete cell;
  --length_;
  return o;
}

bool KWDList::remove(const KWObject* object) {
  KWDListCell* c = search(object);
  if (!c) return false;
  deleteCell(c);
  return true;
}

void KWDList::copyAllCells(const KWDList& other) {
  if (&other == this) {
    long n = length_;
    KWDListCell* c = first_;
    for (long i = 0; i < n; ++i, c = c->next_) append(c->object_);
    return;
  }
  for (KWDListCell* c = other.first_; c; c = c->next_) append(c->object_);
}

void KWDList::deleteAllCells() {
  KWDListCell* c = first_;
  while (c) {
    KWDListCell* n = c->next_;
    delete c;
    c = n;
  }
  first_ = last_ = nullptr;
  length_ = 0;
}

void KWDList::deleteAllCellsAndObjects() {
  KWDListCell* c = first_;
  first_ = last_ = nullptr;
  length_ = 0;
  while (c) {
    KWDListCell* n = c->next_;
    delete c->object_;
    delete c;
    c = n;
  }
}

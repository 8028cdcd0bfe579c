// Integer geometry of the drawing: tuples, points and rectangles in drawing units.
// y grows upwards; a rectangle's left and bottom are its smallest coordinates.
#ifndef KWGEOM_H
#define KWGEOM_H

#include "host/kwobject.h"

/// A pair of long coordinates.
class KWTuple : public KWObject {
 public:
  KWTuple() : x_(0), y_(0) {}
  KWTuple(long x, long y) : x_(x), y_(y) {}
  long x() const { return x_; }
  long y() const { return y_; }
  void x(long v) { x_ = v; }
  void y(long v) { y_ = v; }
  bool operator==(const KWTuple& o) const { return x_ == o.x_ && y_ == o.y_; }
  bool operator!=(const KWTuple& o) const { return !(*this == o); }

 protected:
  long x_;
  long y_;
};

/// A position. move adds an offset; moveTo sets the coordinates.
class KWPoint : public KWTuple {
 public:
  KWPoint() = default;
  KWPoint(long x, long y) : KWTuple(x, y) {}
  void move(long dx, long dy) { x_ += dx; y_ += dy; }
  void moveTo(long x, long y) { x_ = x; y_ = y; }
  /// Euclidean distance between (x1, y1) and (x2, y2).
  static double distance(long x1, long y1, long x2, long y2);
};

/// An axis-parallel rectangle given by its lower-left corner and its extent.
/// x() and y() answer its centre.
class KWRect : public KWObject {
 public:
  KWRect() : left_(0), bottom_(0), width_(0), height_(0) {}
  KWRect(long left, long bottom, long width, long height)
      : left_(left), bottom_(bottom), width_(width), height_(height) {}
  long left() const { return left_; }
  long bottom() const { return bottom_; }
  long right() const { return left_ + width_; }
  long top() const { return bottom_ + height_; }
  long width() const { return width_; }
  long height() const { return height_; }
  long x() const { return left_ + width_ / 2; }
  long y() const { return bottom_ + height_ / 2; }
  void set(long left, long bottom, long width, long height) {
    left_ = left; bottom_ = bottom; width_ = width; height_ = height;
  }
  /// Grows this rectangle to cover r as well. An empty rectangle (isEmpty)
  /// simply becomes r.
  void unite(const KWRect& r);
  bool isEmpty() const { return empty_; }
  void isEmpty(bool e) { empty_ = e; }
  /// Whether the closed rectangle contains the point.
  bool contains(long x, long y) const {
    return x >= left_ && x <= right() && y >= bottom_ && y <= top();
  }

 private:
  long left_;
  long bottom_;
  long width_;
  long height_;
  bool empty_ = false;
};

#endif

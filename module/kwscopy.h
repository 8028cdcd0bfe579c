// The copy members of the module's classes, written once.
//
// Every class of the module copies the same way: a copy constructor taking
// the depth of the copy (KWDeepCopy or KWAttributeCopy), assignment as a deep
// copy, the virtual copyObject / copyAttributes that take any object of the
// class, and the two virtual clones. All of them go through two members the
// class writes itself (or takes from KWS_BASE_COPIES_DEF when it holds no
// data of its own beyond its base): ClassdeepCopy and ClassattributeCopy.
// A copy constructor first gives the new object its defaults with init().
#ifndef KWSCOPY_H
#define KWSCOPY_H

/// The public copy members of Class, declared in its class body: the copy
/// constructor, assignment, the two virtual copies, the typed clones and
/// castDown (which trusts the caller that the object is a Class).
#define KWS_COPY_MEMBERS_DECL(Class)                                                 \
  Class(const Class& source, KWDeepFlagEnum flag = KWDeepCopy);                      \
  Class& operator=(const Class& source);                                             \
  void copyObject(const KWObject* source) override;                                  \
  void copyAttributes(const KWObject* source) override;                              \
  Class* cloneObject() const { return castDown(vCloneObject()); }                    \
  Class* cloneAttributes() const { return castDown(vCloneAttributes()); }            \
  static Class* castDown(const KWObject* o) { return static_cast<Class*>(const_cast<KWObject*>(o)); }

/// The virtual clones, declared where the class keeps them (protected).
#define KWS_CLONE_MEMBERS_DECL(Class)        \
  KWObject* vCloneObject() const override; \
  KWObject* vCloneAttributes() const override;

/// The two member-wise copies, declared where the class keeps them (private).
#define KWS_COPY_PARTS_DECL(Class)                   \
  Class& Class##deepCopy(const Class& source); \
  Class& Class##attributeCopy(const Class& source);

/// Copy constructor, assignment, copyObject, copyAttributes and the clones of
/// Class, a class derived from Base.
#define KWS_COPY_MEMBERS_DEF(Class, Base)                                                       \
  Class::Class(const Class& source, KWDeepFlagEnum flag) : Base() {                             \
    init();                                                                                     \
    if (flag == KWDeepCopy) Class##deepCopy(source);                                            \
    else Class##attributeCopy(source);                                                          \
  }                                                                                             \
  Class& Class::operator=(const Class& source) {                                                \
    if (this != &source) Class##deepCopy(source);                                               \
    return *this;                                                                               \
  }                                                                                             \
  void Class::copyObject(const KWObject* source) {                                              \
    if (source && source != this) Class##deepCopy(*castDown(source));                           \
  }                                                                                             \
  void Class::copyAttributes(const KWObject* source) {                                          \
    if (source && source != this) Class##attributeCopy(*castDown(source));                      \
  }                                                                                             \
  KWObject* Class::vCloneObject() const { return new Class(*this, KWDeepCopy); }                \
  KWObject* Class::vCloneAttributes() const { return new Class(*this, KWAttributeCopy); }

/// ClassdeepCopy and ClassattributeCopy of a class that copies its base's part only.
#define KWS_BASE_COPIES_DEF(Class, Base)                                                        \
  Class& Class::Class##deepCopy(const Class& source) {                                          \
    Base::copyObject(&source);                                                                  \
    return *this;                                                                               \
  }                                                                                             \
  Class& Class::Class##attributeCopy(const Class& source) {                                     \
    Base::copyAttributes(&source);                                                              \
    return *this;                                                                               \
  }

/// sizeOf: the base's answer with the base's own size replaced by Class's.
#define KWS_SIZE_OF_DEF(Class, Base)                                                            \
  long Class::sizeOf() const {                                                                  \
    return Base::sizeOf() - static_cast<long>(sizeof(Base)) + static_cast<long>(sizeof(Class)); \
  }

#endif

// Tailors: the settings objects of a layout style at graph, node and edge level.
//
// Each tailor has a 32-bit flag word. Every bit starts cleared. The base
// classes use the low bits (graph tailor bits 0-2 for its incremental flags);
// bits 11 and above of a graph tailor, and bit 1 of a node tailor, belong to the
// style that derives from them.
#ifndef KWTAILOR_H
#define KWTAILOR_H

#include <cstdint>

#include "host/kwenums.h"
#include "host/kwobject.h"

class KWDGraph;
class KWDNode;
class KWDEdge;
class KWOMLFile;
class KWOMLSyntaxField;
class KWOMLSyntaxObject;

/// Flag-word storage shared by the three tailor bases.
class KWTailorFlags {
 public:
  std::uint32_t flagWord() const { return flags_; }
  void flagWord(std::uint32_t w) { flags_ = w; }
  int flagBit(int bit) const { return (flags_ >> bit) & 1u ? 1 : 0; }
  void flagBit(int bit, int on) {
    if (on) flags_ |= (1u << bit); else flags_ &= ~(1u << bit);
  }

 private:
  std::uint32_t flags_ = 0;
};

class KWGraphTailor : public KWObject, public KWTailorFlags {
 public:
  explicit KWGraphTailor(KWDGraph* owner = nullptr) : owner_(owner) {}
  KWGraphTailor(const KWGraphTailor& o);
  KWGraphTailor& operator=(const KWGraphTailor& o);
  ~KWGraphTailor() override = default;

  /// Copies the base's own flag bits (0 to 10); the style's bits are its own to copy.
  void copyObject(const KWObject* source) override;
  void copyAttributes(const KWObject* source) override;

  KWDGraph* pOwnerGraph() const { return owner_; }
  virtual KWLayoutStyleEnum layoutStyle() const { return KWNoLayoutStyle; }
  virtual long sizeOf() const { return static_cast<long>(sizeof(KWGraphTailor)); }
  virtual int incrementalWithinComponentLayout(int on);
  virtual int incrementalWithinComponentLayout() const;
  virtual int incrementalDisconnectedNodesLayout(int on);
  virtual int incrementalDisconnectedNodesLayout() const;
  virtual int incrementalComponentsLayout(int on);
  virtual int incrementalComponentsLayout() const;
  /// Whether the layout always splits the graph into connected components.
  virtual int forceComponents() const { return 1; }
  virtual int isOrthogonal() const { return 0; }
  /// Writes this tailor's section of a graph file (nothing by default).
  virtual void writeFullGraphTailor(int compareWithDefaults, int writeAll, KWOMLFile* file);
  /// Takes one field of this tailor's section; 1 when taken.
  virtual int readGraphTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWOMLFile* file);
  /// Non-zero when nothing needs to be written.
  virtual int checkWriteGraphTailor(int compareWithDefaults, int writeAll, KWOMLFile* file);
  virtual void innerDebugOutput(int) const {}

  /// Lets the style release what it holds for reading or writing a file; the
  /// graph-file machinery calls it when a file operation is over.
  void releaseFileState() { discardGraphFileExtension(); }

 protected:
  virtual void discardGraphFileExtension() {}

 private:
  KWDGraph* owner_;
};

class KWNodeTailor : public KWObject, public KWTailorFlags {
 public:
  explicit KWNodeTailor(KWDNode* owner = nullptr) : owner_(owner) {}
  KWNodeTailor(const KWNodeTailor& o);
  KWNodeTailor& operator=(const KWNodeTailor& o);

  /// Copies the whole flag word.
  void copyObject(const KWObject* source) override;
  void copyAttributes(const KWObject* source) override;

  KWDNode* pOwnerNode() const { return owner_; }
  virtual KWLayoutStyleEnum layoutStyle() const { return KWNoLayoutStyle; }
  virtual long sizeOf() const { return static_cast<long>(sizeof(KWNodeTailor)); }
  virtual void writeFullNodeTailor(int compareWithDefaults, int writeAll, KWOMLFile* file);
  virtual int readNodeTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWOMLFile* file);
  virtual int checkWriteNodeTailor(int compareWithDefaults, int writeAll, KWOMLFile* file);
  virtual void actOnInsert() {}
  virtual void actOnRemove() {}
  virtual void innerDebugOutput(int) const {}

 private:
  KWDNode* owner_;
};

class KWEdgeTailor : public KWObject, public KWTailorFlags {
 public:
  explicit KWEdgeTailor(KWDEdge* owner = nullptr) : owner_(owner) {}
  KWEdgeTailor(const KWEdgeTailor& o);
  KWEdgeTailor& operator=(const KWEdgeTailor& o);

  void copyObject(const KWObject* source) override;
  void copyAttributes(const KWObject* source) override;

  KWDEdge* pOwnerEdge() const { return owner_; }
  virtual KWLayoutStyleEnum layoutStyle() const { return KWNoLayoutStyle; }
  virtual long sizeOf() const { return static_cast<long>(sizeof(KWEdgeTailor)); }
  virtual void actOnInsert() {}
  virtual void actOnRemove() {}
  virtual void writeFullEdgeTailor(int compareWithDefaults, int writeAll, KWOMLFile* file);
  virtual int readEdgeTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWOMLFile* file);
  virtual int checkWriteEdgeTailor(int compareWithDefaults, int writeAll, KWOMLFile* file);
  virtual void innerDebugOutput(int) const {}

 private:
  KWDEdge* owner_;
};

#endif

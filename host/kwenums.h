// Enumerations shared by the host framework and the layout modules.
#ifndef KWENUMS_H
#define KWENUMS_H

/// Layout styles known to the framework. A graph, node or edge carries one
/// extension and one private tailor per style it is laid out in.
enum KWLayoutStyleEnum {
  KWNoLayoutStyle = 0,
  KWHierarchicLayoutStyle = 1,
  KWOrthogonalLayoutStyle = 2,
  KWSymmetricLayoutStyle = 3,
  KWCircularLayoutStyle = 4,
  KWTreeLayoutStyle = 5,
  KWNumberOfLayoutStyles = 6
};

/// How a layout style routes edges: straight lines or lines with bends.
enum KWEdgeRoutingStyleEnum { KWNoRouting = 0, KWStraightRouting = 1, KWBendRouting = 2 };

/// The side of a node an edge leaves from.
enum KWSideEnum { KWNoSide = 0, KWLeftSide = 1, KWRightSide = 2, KWTopSide = 3, KWBottomSide = 4 };

/// Copy constructors: 0 asks for a deep copy, any other value for an attribute copy.
enum KWDeepFlagEnum { KWDeepCopy = 0, KWAttributeCopy = 1 };

/// Status of a layout run as the host reports it.
enum KWErrorCodeEnum {
  KWNoError = 0,
  KWErrorNoStyle = 1,        ///< the graph has no extension for the style asked for
  KWErrorTooLarge = 2,       ///< a component exceeds the matrix memory limit
  KWErrorLayoutRunning = 3,  ///< layout() called from inside a running layout
  KWStoppedEarly = 4         ///< stopped on request or when its time budget ran out: the drawing is
                             ///< complete (every node placed, edges drawn) but less relaxed
};

#endif

// kwslay._core: the Python face of KWSLayout. The module kwslay (kwslay/
// __init__.py) turns graphs with arbitrary node keys into the dense node and
// edge numbers used here; this layer keeps those numbers, checks them and
// every value before they reach the layout, and turns failures into Python
// exceptions.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "module/kwslayout.h"

namespace py = pybind11;

namespace {

using Point = std::pair<double, double>;

long checkedLength(double v, const char* what) {
  if (!std::isfinite(v) || v < 0.0 || v > KWSLayout::maxCoordinate)
    throw py::value_error(std::string(what) + " must be a finite number from 0 to 1e9, not " + py::repr(py::float_(v)).cast<std::string>());
  return std::lround(v);
}

long checkedCoordinate(double v, const char* what) {
  if (!std::isfinite(v) || std::fabs(v) > KWSLayout::maxCoordinate)
    throw py::value_error(std::string(what) + " must be a finite number from -1e9 to 1e9, not " + py::repr(py::float_(v)).cast<std::string>());
  return std::lround(v);
}

class Layout {
 public:
  long addNode(double width, double height) {
    idle();
    long w = checkedLength(width, "a node's width");
    long h = checkedLength(height, "a node's height");
    nodes_.push_back(lay_.addNode(w, h));
    return static_cast<long>(nodes_.size()) - 1;
  }

  long addEdge(long from, long to) {
    idle();
    KWDEdge* e = lay_.addEdge(node(from), node(to));
    if (!e) throw std::runtime_error("the layout refused an edge");
    edges_.push_back(e);
    return static_cast<long>(edges_.size()) - 1;
  }

  void setting(const std::string& name, double value) {
    idle();
    const KWSSettingInfo* s = KWSLayout::findSetting(name);
    if (!s) throw py::value_error("unknown setting '" + name + "'");
    if (!lay_.setting(name, value))
      throw py::value_error("setting '" + name + "' cannot hold " + py::repr(py::float_(value)).cast<std::string>());
  }

  double settingValue(const std::string& name) const {
    if (!KWSLayout::findSetting(name)) throw py::value_error("unknown setting '" + name + "'");
    return lay_.setting(name);
  }

  void place(long index, double x, double y) {
    idle();
    KWDNode* n = node(index);
    n->ntMoveTo(checkedCoordinate(x, "a node's x"), checkedCoordinate(y, "a node's y"));
  }

  void pin(long index, bool pinned) {
    idle();
    lay_.pin(node(index), pinned);
  }

  void startFromPositions(const std::vector<long>& unplaced) {
    idle();
    std::vector<KWDNode*> v;
    for (long i : unplaced) v.push_back(node(i));
    lay_.startFromPositions(v);
  }

  // Answers true for a complete run, false for one stopped early (by
  // request_stop or the time limit); the drawing is complete either way.
  bool layout() {
    idle();
    KWErrorCodeEnum rc;
    {
      // Other Python threads may run meanwhile; busy_ keeps them off this object.
      struct Busy {
        bool& b;
        explicit Busy(bool& f) : b(f) { b = true; }
        ~Busy() { b = false; }
      } busy(busy_);
      py::gil_scoped_release release;
      rc = lay_.layout();
    }
    if (rc == KWStoppedEarly) return false;
    if (rc != KWNoError) throw std::runtime_error(lay_.statusText(rc));
    return true;
  }

  // Safe from any thread, also while layout() runs in another one.
  void requestStop() const { lay_.requestStop(); }
  double timeLimit() const { return static_cast<double>(lay_.timeBudget()) / 1000.0; }
  void timeLimit(double seconds) {
    idle();
    if (!std::isfinite(seconds) || seconds < 0.0 || seconds > 7.0 * 86400.0)
      throw py::value_error("time_limit must be a number of seconds from 0 (none) to a week");
    lay_.timeBudget(seconds > 0.0 ? std::max(1L, static_cast<long>(std::llround(seconds * 1000.0))) : 0L);
  }

  std::vector<Point> positions() const {
    idle();
    std::vector<Point> v;
    v.reserve(nodes_.size());
    for (const KWDNode* n : nodes_) v.emplace_back(static_cast<double>(n->ntX()), static_cast<double>(n->ntY()));
    return v;
  }

  std::vector<std::vector<Point>> bends() const {
    idle();
    std::vector<std::vector<Point>> v;
    v.reserve(edges_.size());
    for (const KWDEdge* e : edges_) {
      std::vector<Point> b;
      for (const KWPoint& p : KWSLayout::bends(e)) b.emplace_back(static_cast<double>(p.x()), static_cast<double>(p.y()));
      v.push_back(std::move(b));
    }
    return v;
  }

  long numberOfNodes() const { return static_cast<long>(nodes_.size()); }
  long numberOfEdges() const { return static_cast<long>(edges_.size()); }

 private:
  KWDNode* node(long index) const {
    if (index < 0 || index >= static_cast<long>(nodes_.size()))
      throw py::index_error("no node number " + std::to_string(index) + " (the layout has " +
                            std::to_string(nodes_.size()) + " nodes)");
    return nodes_[static_cast<size_t>(index)];
  }
  void idle() const {
    if (busy_) throw std::runtime_error("the layout is running in another thread");
  }

  KWSLayout lay_;
  std::vector<KWDNode*> nodes_;
  std::vector<KWDEdge*> edges_;
  bool busy_ = false;
};

const char* kindName(KWSSettingKind k) {
  switch (k) {
    case KWSSettingKind::Real: return "real";
    case KWSSettingKind::Integer: return "integer";
    case KWSSettingKind::Flag: return "flag";
  }
  return "";
}

}  // namespace

PYBIND11_MODULE(_core, m) {
  m.doc() = "Native layer of kwslay: one symmetric layout over numbered nodes and edges.";
  m.attr("MAX_COORDINATE") = KWSLayout::maxCoordinate;
  m.def(
      "settings",
      [] {
        std::vector<std::pair<std::string, std::string>> v;
        for (const KWSSettingInfo& s : KWSLayout::settingList()) v.emplace_back(s.name, kindName(s.kind));
        return v;
      },
      "The graph settings as (name, kind) pairs; kind is 'real', 'integer' or 'flag'.");
  py::class_<Layout>(m, "Layout")
      .def(py::init<>())
      .def("add_node", &Layout::addNode, py::arg("width"), py::arg("height"), "Adds a node; answers its number.")
      .def("add_edge", &Layout::addEdge, py::arg("source"), py::arg("target"), "Adds an edge; answers its number.")
      .def("set", &Layout::setting, py::arg("name"), py::arg("value"), "Stores a graph setting.")
      .def("get", &Layout::settingValue, py::arg("name"), "Reads a graph setting.")
      .def("place", &Layout::place, py::arg("node"), py::arg("x"), py::arg("y"), "Moves a node's centre.")
      .def("pin", &Layout::pin, py::arg("node"), py::arg("pinned") = true, "Pins a node where it is, or frees it.")
      .def("start_from_positions", &Layout::startFromPositions, py::arg("unplaced") = std::vector<long>(),
           "Makes the next layout start from the current centres; unplaced nodes get a random start now.")
      .def("layout", &Layout::layout,
           "Lays out the graph; answers False when it stopped early (request_stop, time_limit), True otherwise; "
           "raises RuntimeError when the layout refuses it.")
      .def("request_stop", &Layout::requestStop,
           "Asks a running layout (in another thread) to stop soon; it still finishes the drawing.")
      .def_property("time_limit", py::overload_cast<>(&Layout::timeLimit, py::const_),
                    py::overload_cast<double>(&Layout::timeLimit),
                    "Seconds after which later layouts stop with the drawing so far (0: none).")
      .def("positions", &Layout::positions, "Node centres (x, y) by node number.")
      .def("bends", &Layout::bends, "Bend points of each edge by edge number.")
      .def_property_readonly("number_of_nodes", &Layout::numberOfNodes)
      .def_property_readonly("number_of_edges", &Layout::numberOfEdges);
}

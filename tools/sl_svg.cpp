#include <algorithm>
#include <cmath>

#include "sl_settings.h"
#include "sl_shape.h"
#include "sl_text.h"
#include "sl_writers.h"

namespace kwslay {

namespace {
constexpr double kMargin = 24.0;

long codePoints(const std::string& s) {
  long n = 0;
  for (char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

struct Frame {
  double left, top;
  std::string x(double v) const { return numberText(v - left + kMargin); }
  std::string y(double v) const { return numberText(top - v + kMargin); }
  std::string at(Pt p) const { return x(p.x) + "," + y(p.y); }
};

bool isStraight(const EdgeShape& s) {
  for (const PathPiece& p : s.pieces)
    if (p.curve) return false;
  return true;
}
}  // namespace

std::string writeSvg(const ToolGraph& g) {
  OutputIds ids = outputIds(g);
  std::vector<EdgeShape> shapes = edgeShapes(g);

  // Everything drawn, curves by their control points (a Bézier curve stays
  // inside them).
  double left = 0.0, bottom = 0.0, right = 0.0, top = 0.0;
  bool any = false;
  auto cover = [&](double x0, double y0, double x1, double y1) {
    if (!any) { left = x0; bottom = y0; right = x1; top = y1; any = true; return; }
    left = std::min(left, x0); bottom = std::min(bottom, y0);
    right = std::max(right, x1); top = std::max(top, y1);
  };
  for (const KWDNode* n : g.nodes()) {
    double hw = static_cast<double>(n->ntWidth()) / 2.0, hh = static_cast<double>(n->ntHeight()) / 2.0;
    cover(static_cast<double>(n->ntX()) - hw, static_cast<double>(n->ntY()) - hh,
          static_cast<double>(n->ntX()) + hw, static_cast<double>(n->ntY()) + hh);
  }
  for (const EdgeShape& s : shapes)
    for (const Pt& p : splinePoints(s)) cover(p.x, p.y, p.x, p.y);
  Frame f{left, top};
  std::string width = numberText(right - left + 2.0 * kMargin);
  std::string height = numberText(top - bottom + 2.0 * kMargin);

  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + width + "\" height=\"" + height +
         "\" viewBox=\"0 0 " + width + " " + height + "\">\n";
  out += "<title>" + xmlEscape(g.name.empty() ? "graph" : g.name) + "</title>\n";
  out +=
      "<defs><marker id=\"arrow\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" markerWidth=\"7\" "
      "markerHeight=\"7\" orient=\"auto\"><path d=\"M0,0 L10,5 L0,10 z\" fill=\"#56606e\"/></marker></defs>\n";
  out += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";

  out += "<g fill=\"none\" stroke=\"#56606e\" stroke-width=\"1.5\" stroke-linejoin=\"round\">\n";
  for (size_t i = 0; i < shapes.size(); ++i) {
    const EdgeShape& s = shapes[i];
    std::string d = "M" + f.at(s.start);
    for (const PathPiece& p : s.pieces)
      d += p.curve ? " C" + f.at(p.c1) + " " + f.at(p.c2) + " " + f.at(p.to) : " L" + f.at(p.to);
    out += "<path d=\"" + d + "\"";
    if (g.directed) out += " marker-end=\"url(#arrow)\"";
    if (isStraight(s) && s.pieces.size() == 1) out += " stroke-linecap=\"round\"";
    out += "><title>" + xmlEscape(ids.edge[i]) + "</title></path>\n";
  }
  out += "</g>\n";

  out += "<g font-family=\"DejaVu Sans, Verdana, Arial, sans-serif\" text-anchor=\"middle\" fill=\"#1d2733\">\n";
  for (size_t i = 0; i < g.nodes().size(); ++i) {
    const KWDNode* n = g.nodes()[i];
    double w = static_cast<double>(n->ntWidth()), h = static_cast<double>(n->ntHeight());
    double x = static_cast<double>(n->ntX()), y = static_cast<double>(n->ntY());
    bool pinned = nodeConstrained(*n);
    const std::string& label = ids.node[i];
    // As large as fits the box, within a readable range.
    double size = std::min({14.0, h * 0.55, 1.7 * w / static_cast<double>(std::max(1L, codePoints(label)))});
    size = std::max(size, 7.0);
    out += "<g><title>" + xmlEscape(label) + "</title>";
    out += "<rect x=\"" + f.x(x - w / 2.0) + "\" y=\"" + f.y(y + h / 2.0) + "\" width=\"" + numberText(w) +
           "\" height=\"" + numberText(h) + "\" rx=\"" + numberText(std::min(6.0, std::min(w, h) / 4.0)) + "\"" +
           (pinned ? " fill=\"#fde8cf\" stroke=\"#b45309\"" : " fill=\"#dde9fb\" stroke=\"#2f5fa7\"") +
           " stroke-width=\"1.5\"/>";
    // The baseline sits a third of the font size below the centre, which
    // centres the text vertically without relying on dominant-baseline.
    out += "<text x=\"" + f.x(x) + "\" y=\"" + numberText(top - y + kMargin + size / 3.0) + "\" font-size=\"" +
           numberText(size) + "\">" + xmlEscape(label) + "</text></g>\n";
  }
  out += "</g>\n</svg>\n";
  return out;
}

}  // namespace kwslay

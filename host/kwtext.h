// A owned, zero-terminated text.
#ifndef KWTEXT_H
#define KWTEXT_H

#include <string>

#include "host/kwobject.h"

class KWText : public KWObject {
 public:
  KWText() = default;
  explicit KWText(const char* s) : text_(s ? s : "") {}
  explicit KWText(std::string s) : text_(std::move(s)) {}
  const char* pString() const { return text_.c_str(); }
  const std::string& str() const { return text_; }
  void set(const std::string& s) { text_ = s; }
  long length() const { return static_cast<long>(text_.size()); }

 private:
  std::string text_;
};

#endif

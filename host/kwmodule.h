// Loading a layout module at run time.
#ifndef KWMODULE_H
#define KWMODULE_H

#include <string>

class KWStyleFactory;

/// A layout module loaded with dlopen. The module exports a creation function
/// answering a new KWStyleFactory and a deletion function taking it back.
/// Closing (or destroying) the module hands the factory back first.
class KWLayoutModule {
 public:
  KWLayoutModule() = default;
  ~KWLayoutModule() { close(); }
  KWLayoutModule(const KWLayoutModule&) = delete;
  KWLayoutModule& operator=(const KWLayoutModule&) = delete;

  /// Loads the library at path and creates its factory through the named
  /// entry points. Answers false (see error()) when either step fails.
  bool open(const std::string& path, const char* create, const char* destroy);
  void close();
  KWStyleFactory* factory() const { return factory_; }
  const std::string& error() const { return error_; }

  /// Where the symmetric module is looked for: $KWSLAY_MODULE when set,
  /// otherwise libkwvrsl40.so next to the running program, then the loader's search path.
  static std::string defaultSymmetricPath();
  /// Opens the symmetric module kwvrsl40 from its default place.
  bool openSymmetric();

 private:
  void* handle_ = nullptr;
  KWStyleFactory* factory_ = nullptr;
  void (*destroy_)(KWStyleFactory*) = nullptr;
  std::string error_;
};

#endif
